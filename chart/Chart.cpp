#include "chart/Chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "calc/Numeric.h"
#include "chart/GreatLuck.h"
#include "chart/Pillars.h"
#include "chart/TrueSolarTime.h"

namespace torvela::chart {

namespace {

bool IsUnknownText(std::string_view text) {
  // The lists show "?"; a typed full-width question mark means the same.
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text == "?" || text == "？";
}

double Clamp(double x, double lo, double hi) {
  if (!std::isfinite(x)) return lo;
  return std::clamp(x, lo, hi);
}

// Brings values the inputs can never offer back into range, so that bad
// input gives some chart instead of undefined arithmetic. A time difference
// beyond a day is no place on earth.
ChartInput Sanitised(ChartInput in) {
  in.year = Fix(Clamp(in.year, 100, 9999));
  in.month = Fix(Clamp(in.month, 1, 12));
  const int last = MonthLengths(static_cast<std::int64_t>(in.year))[static_cast<int>(in.month)];
  in.day = Fix(Clamp(in.day, 1, last));
  in.hour = Fix(Clamp(in.hour, 0, 23));
  in.minute = Fix(Clamp(in.minute, 0, 59));
  if (!std::isfinite(in.diffMinutes)) in.diffMinutes = 0;
  if (!std::isfinite(in.diffSeconds)) in.diffSeconds = 0;
  in.diffMinutes = std::clamp(in.diffMinutes, -1440.0, 1440.0);
  in.diffSeconds = std::clamp(in.diffSeconds, -86400.0, 86400.0);
  return in;
}

}  // namespace

ChartInput InputFromTexts(double year, double month, double day, std::string_view hourText,
                          std::string_view minuteText, bool male, std::string_view jisahun,
                          std::string_view jisabyo) {
  ChartInput in;
  in.year = year;
  in.month = month;
  in.day = day;
  in.hourUnknown = IsUnknownText(hourText);
  in.minuteUnknown = IsUnknownText(minuteText);
  in.hour = in.hourUnknown ? 0 : LeadingNumber(hourText);
  in.minute = in.minuteUnknown ? 0 : LeadingNumber(minuteText);
  in.male = male;
  in.female = !male;
  in.diffMinutes = LeadingNumber(jisahun);
  in.diffSeconds = LeadingNumber(jisabyo);
  return in;
}

ChartResult ComputeChart(const ChartInput& raw, const Tables& tables, const LocalTime& now) {
  const ChartInput in = Sanitised(raw);
  ChartResult r;
  r.hourUnknown = in.hourUnknown;

  r.birthDateJD = JulianDay(in.year, in.month, in.day);

  // Working copies; an unknown hour computes the chart for noon.
  CalendarMoment clock{in.year, in.month, in.day, in.hour, in.minute};
  if (in.hourUnknown) {
    clock.hour = 12;
    clock.minute = 0;
  } else if (in.minuteUnknown) {
    clock.minute = 0;
  }
  r.clockDayFraction = clock.hour / 24 + clock.minute / 1440;
  // The seconds take the sign of the minutes; "-0" minutes are west too.
  const double s = std::signbit(in.diffMinutes) ? -1 : 1;
  r.timeDiffDays = in.diffMinutes / 1440 + s * in.diffSeconds / 86400;
  r.localBirthJD = r.birthDateJD + r.clockDayFraction + r.timeDiffDays;

  // Present age in whole years, counted on the entered calendar date.
  r.birthdayThisYearJD = JulianDay(now.year, in.month, in.day + r.clockDayFraction);
  r.nowJD = JulianDay(now.year, now.month,
                      now.day + static_cast<double>(now.hour) / 24 +
                          static_cast<double>(now.minute) / 1440);
  const double age = r.birthdayThisYearJD - r.nowJD > 0 ? now.year - in.year - 1
                                                         : now.year - in.year;
  r.ageText = age < 0 ? "-" : WholeText(static_cast<std::int64_t>(age));

  r.weekday = WeekdayIndex(static_cast<std::int64_t>(std::llround(r.birthDateJD - 0.5)));

  const EquationOfTime eot =
      ComputeEquationOfTime(clock.year, clock.month, clock.day + r.clockDayFraction + r.timeDiffDays);
  r.eotMinutes = eot.EotMinutes;
  r.eotMinutesText = eot.EotMinutesText;
  r.eotSecondsText = eot.EotSecondsText;

  r.correctionMinutes = r.timeDiffDays * 1440 + r.eotMinutes;
  const CalendarMoment solar = ApplyCorrection(clock, r.correctionMinutes);
  r.solarYear = solar.year;
  r.solarMonth = solar.month;
  r.solarDay = solar.day;
  r.solarHour = solar.hour;
  r.solarMinute = solar.minute;
  r.solarDayFraction = r.solarHour / 24 + r.solarMinute / 1440;

  // The true-solar reading is placed at universal time as if it were JST,
  // so the solar terms are compared with true solar time.
  double t = r.solarDay + r.solarDayFraction - 0.375;
  const SunState first = SunPosition(tables, r.solarYear, r.solarMonth, t);
  r.lightTimeDays = LightTimeCorrection(first.SunDistance, in.year);
  t = t - r.lightTimeDays;
  r.sunLongitude = SunPosition(tables, r.solarYear, r.solarMonth, t).SunLongitude;

  const SolarMonth sm = FindSolarMonth(r.sunLongitude, r.solarYear, r.solarMonth);
  r.solarMonthNumber = sm.number;
  r.pillarYear = sm.pillarYear;
  const auto pillarYear = static_cast<std::int64_t>(r.pillarYear);
  r.yearParity = static_cast<int>(((pillarYear % 2) + 2) % 2);
  const int yi = YearPillarIndex(pillarYear);
  r.yearStem = StemOf(yi);
  r.yearBranch = BranchOf(yi);
  const int mi = MonthPillarIndex(pillarYear, r.solarMonthNumber);
  r.monthStem = StemOf(mi);
  r.monthBranch = BranchOf(mi);
  const int di = DayPillarOfDate(r.solarYear, r.solarMonth, r.solarDay);
  r.dayStem = StemOf(di);
  r.dayBranch = BranchOf(di);
  if (!in.hourUnknown) {
    const int hi = HourPillarIndex(r.dayStem, r.solarHour);
    r.hourStem = StemOf(hi);
    r.hourBranch = BranchOf(hi);
  }

  r.forward = LuckDirection(r.yearParity, in.male, in.female);
  const StartAge start = ComputeStartAge(r.forward, r.solarMonthNumber, r.sunLongitude);
  r.startAge = start.age;
  r.startYears = start.years;
  r.startMonths = start.months;
  r.startDays = start.days;
  const LuckColumns columns = FillLuckColumns(r.forward, r.monthStem, r.monthBranch);
  r.luckStems = columns.stems;
  r.luckBranches = columns.branches;
  const ChangeMonth change = ChangeYearMonth(r.solarMonthNumber, r.solarDay, r.yearStem, start);
  r.changeYearStem = change.changeYearStem;
  r.changeMonthBranch = change.changeMonthBranch;
  const LuckAgeRanges ages = LuckAges(change.changeMonthCount, start);
  r.fromAges = ages.fromAges;
  r.toAges = ages.toAges;

  r.seasonElement = SeasonElement(r.solarMonthNumber, r.sunLongitude);
  r.currentColumn = FindCurrentLuckColumn(r.localBirthJD, r.timeDiffDays, r.nowJD, r.startAge);
  return r;
}

}  // namespace torvela::chart
