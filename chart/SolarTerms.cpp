#include "chart/SolarTerms.h"

#include <cctz/civil_time.h>

#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace torvela::chart {

namespace {

const cctz::civil_minute kEpoch(1970, 1, 1, 0, 0);

// Low-precision true longitude of the sun (Meeus, Astronomical Algorithms,
// ch. 25) and its rate. jd: Julian day; returns degrees, not reduced, and
// degrees a day. Only differences and rates are used, for a first guess.
struct ModelSun {
  double longitude = 0, rate = 0;
};

ModelSun ModelAt(double jd) {
  const double T = (jd - 2451545.0) / 36525;
  const double L0 = 280.46646 + 36000.76983 * T + 0.0003032 * T * T;
  const double M = (357.52911 + 35999.05029 * T - 0.0001537 * T * T) * DegToRad;
  const double a = 1.914602 - 0.004817 * T - 0.000014 * T * T;
  const double b = 0.019993 - 0.000101 * T;
  const double c = 0.000289;
  ModelSun s;
  s.longitude = L0 + a * std::sin(M) + b * std::sin(2 * M) + c * std::sin(3 * M);
  const double dCdM =
      (a * std::cos(M) + 2 * b * std::cos(2 * M) + 3 * c * std::cos(3 * M)) * DegToRad;
  s.rate = (36000.76983 + dCdM * 35999.05029) / 36525;
  return s;
}

// a - 360 k into [-180, 180).
double Signed180(double a) { return a - 360 * std::floor((a + 180) / 360); }

// The month decision at whole true-solar minutes, each computed once.
class MinuteDecisions {
 public:
  MinuteDecisions(const Tables& tables, double lightTimeYear)
      : tables_(tables), year_(lightTimeYear) {}

  SolarMonth At(std::int64_t minute) {
    for (const auto& [m, d] : done_)
      if (m == minute) return d;
    const LocalTime t = ReadingOfMinute(minute);
    const CalendarMoment solar{static_cast<double>(t.year), static_cast<double>(t.month),
                               static_cast<double>(t.day), static_cast<double>(t.hour),
                               static_cast<double>(t.minute)};
    const SolarMonth d = MonthAt(tables_, solar, year_);
    done_.emplace_back(minute, d);
    return d;
  }

 private:
  const Tables& tables_;
  double year_;
  std::vector<std::pair<std::int64_t, SolarMonth>> done_;
};

// The first whole minute at which the decision gives month `opens`, near
// the estimate `guess` (minutes, with a fraction).
std::optional<TermInstant> ConfirmTerm(MinuteDecisions& decide, int opens, double guess) {
  const auto finish = [&](std::int64_t m) {
    TermInstant t;
    t.opens = opens;
    t.minute = m;
    t.trueSolar = ReadingOfMinute(m);
    t.before = decide.At(m - 1);
    t.after = decide.At(m);
    return t;
  };
  // The estimate is good to a second or two: a step or two at most.
  auto m = static_cast<std::int64_t>(std::ceil(guess));
  for (int step = 0; step < 4; ++step) {
    if (decide.At(m).number != opens) {
      ++m;
    } else if (decide.At(m - 1).number == opens) {
      --m;
    } else {
      return finish(m);
    }
  }
  // Plain bisection of three days around the estimate.
  std::int64_t lo = m - 3 * 1440, hi = m + 3 * 1440;
  if (decide.At(lo).number == opens || decide.At(hi).number != opens) return std::nullopt;
  while (hi - lo > 1) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    (decide.At(mid).number == opens ? hi : lo) = mid;
  }
  return finish(hi);
}

}  // namespace

std::string_view SectionalTermName(int n) {
  static constexpr std::array<std::string_view, 13> names = {"",     "小寒", "立春", "啓蟄", "清明",
                                                             "立夏", "芒種", "小暑", "立秋", "白露",
                                                             "寒露", "立冬", "大雪"};
  return n >= 1 && n <= 12 ? names[n] : std::string_view();
}

std::int64_t MinuteNumber(const LocalTime& t) {
  return cctz::civil_minute(t.year, t.month, t.day, t.hour, t.minute) - kEpoch;
}

LocalTime ReadingOfMinute(std::int64_t minuteNumber) {
  const cctz::civil_minute c = kEpoch + minuteNumber;
  return {static_cast<int>(c.year()), c.month(), c.day(), c.hour(), c.minute()};
}

double MinuteNumber(const CalendarMoment& m) {
  const cctz::civil_day day(static_cast<cctz::year_t>(m.year), static_cast<int>(m.month),
                            static_cast<int>(m.day));
  const auto days = day - cctz::civil_day(kEpoch);
  return static_cast<double>(days) * 1440 + m.hour * 60 + m.minute;
}

SolarMonth MonthAt(const Tables& tables, const CalendarMoment& solar, double lightTimeYear) {
  return FindSolarMonth(ApparentSunAt(tables, solar, lightTimeYear).longitude, solar.year,
                        solar.month);
}

TermPair FindTerms(const Tables& tables, const ChartResult& chart, double lightTimeYear) {
  const CalendarMoment birth{chart.solarYear, chart.solarMonth, chart.solarDay, chart.solarHour,
                             chart.solarMinute};
  const double birthMinute = MinuteNumber(birth);
  // The chart evaluated the sun at day tBirth - lightTimeDays of its month.
  const double tBirth = chart.solarDay + chart.solarDayFraction - 0.375;
  const double jdBirth = JulianDay(chart.solarYear, chart.solarMonth, tBirth - chart.lightTimeDays);
  const ModelSun atBirth = ModelAt(jdBirth);
  MinuteDecisions decide(tables, lightTimeYear);

  // Minutes after the birth's reading at which the apparent longitude
  // reaches L + dL.
  const auto estimate = [&](double dL) {
    double x = dL / 0.9856473563866;  // mean motion, degrees a day
    for (int i = 0; i < 3; ++i) {
      const ModelSun s = ModelAt(jdBirth + x);
      x -= (s.longitude - atBirth.longitude - dL) / s.rate;
    }
    // One real evaluation there, its light time held for the step.
    const SunState probe = SunPosition(tables, chart.solarYear, chart.solarMonth, tBirth + x);
    const double rate = ModelAt(jdBirth + x).rate;
    const double lightTime = LightTimeCorrection(probe.SunDistance, lightTimeYear);
    const double apparent = probe.SunLongitude - rate * lightTime;
    x += Signed180(chart.sunLongitude + dL - apparent) / rate;
    return birthMinute + x * 1440;
  };

  TermPair terms;
  const int n = chart.solarMonthNumber;
  if (n < 1 || n > 12) return terms;
  const int following = n % 12 + 1;
  const double back = Reduce(chart.sunLongitude - SolarTermLongitude(n, 0));
  const double ahead = Reduce(SolarTermLongitude(following, 0) - chart.sunLongitude);
  if (auto t = ConfirmTerm(decide, n, estimate(-back))) terms.previous = *t;
  if (auto t = ConfirmTerm(decide, following, estimate(ahead))) terms.next = *t;
  return terms;
}

}  // namespace torvela::chart
