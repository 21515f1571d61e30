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

}  // namespace

ChartInput SanitisedInput(ChartInput in) {
  in.year = Fix(Clamp(in.year, 100, 9999));
  in.month = Fix(Clamp(in.month, 1, 12));
  const int last = MonthLengths(static_cast<std::int64_t>(in.year))[static_cast<int>(in.month)];
  in.day = Fix(Clamp(in.day, 1, last));
  in.hour = Fix(Clamp(in.hour, 0, 23));
  in.minute = Fix(Clamp(in.minute, 0, 59));
  // A time difference beyond a day is no place on earth.
  if (!std::isfinite(in.diffMinutes)) in.diffMinutes = 0;
  if (!std::isfinite(in.diffSeconds)) in.diffSeconds = 0;
  in.diffMinutes = std::clamp(in.diffMinutes, -1440.0, 1440.0);
  in.diffSeconds = std::clamp(in.diffSeconds, -86400.0, 86400.0);
  if (!std::isfinite(in.clockShiftMinutes)) in.clockShiftMinutes = 0;
  in.clockShiftMinutes = Fix(std::clamp(in.clockShiftMinutes, -1440.0, 1440.0));
  if (in.clockBasis != ClockBasis::LocalMean && in.clockBasis != ClockBasis::TrueSolar)
    in.clockBasis = ClockBasis::Jst;
  return in;
}

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

void TrueSolarStep(const ChartInput& in, ChartResult& r) {
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

  // A summer-time reading moves back to the standard clock first. The shift
  // is whole minutes on a whole-minute reading, so the move is exact and the
  // result is the chart of the standard reading to the last bit. Without a
  // shift the entered reading is used as it is.
  CalendarMoment base = clock;
  double baseDateJD = r.birthDateJD;
  double baseFraction = r.clockDayFraction;
  if (in.clockShiftMinutes != 0) {
    base = ApplyCorrection(clock, in.clockShiftMinutes);
    baseDateJD = JulianDay(base.year, base.month, base.day);
    baseFraction = base.hour / 24 + base.minute / 1440;
  }

  // localBirthJD is the birth in the birthplace's local mean time, the
  // footing on which the current great-luck column compares it with now.
  EquationOfTime eot;
  switch (in.clockBasis) {
    case ClockBasis::Jst:
      r.localBirthJD = baseDateJD + baseFraction + r.timeDiffDays;
      eot = ComputeEquationOfTime(base.year, base.month, base.day + baseFraction + r.timeDiffDays);
      r.correctionMinutes = r.timeDiffDays * 1440 + eot.EotMinutes;
      break;
    case ClockBasis::LocalMean:
      r.localBirthJD = baseDateJD + baseFraction;
      eot = ComputeEquationOfTime(base.year, base.month, base.day + baseFraction);
      r.correctionMinutes = eot.EotMinutes;
      break;
    case ClockBasis::TrueSolar:
      // Shown for what it is, but not applied; local mean time is the
      // reading less the equation of time.
      eot = ComputeEquationOfTime(base.year, base.month, base.day + baseFraction);
      r.localBirthJD = baseDateJD + baseFraction - eot.EotMinutes / 1440;
      r.correctionMinutes = 0;
      break;
  }
  r.eotMinutes = eot.EotMinutes;
  r.eotMinutesText = eot.EotMinutesText;
  r.eotSecondsText = eot.EotSecondsText;

  const CalendarMoment solar = ApplyCorrection(base, r.correctionMinutes);
  r.solarYear = solar.year;
  r.solarMonth = solar.month;
  r.solarDay = solar.day;
  r.solarHour = solar.hour;
  r.solarMinute = solar.minute;
  r.solarDayFraction = r.solarHour / 24 + r.solarMinute / 1440;
}

ChartResult ComputeChart(const ChartInput& raw, const Tables& tables, const LocalTime& now) {
  const ChartInput in = SanitisedInput(raw);
  ChartResult r;
  r.hourUnknown = in.hourUnknown;
  TrueSolarStep(in, r);

  // Present age in whole years, counted on the entered calendar date and
  // clock reading.
  r.birthdayThisYearJD = JulianDay(now.year, in.month, in.day + r.clockDayFraction);
  r.nowJD = JulianDay(now.year, now.month,
                      now.day + static_cast<double>(now.hour) / 24 +
                          static_cast<double>(now.minute) / 1440);
  const double age = r.birthdayThisYearJD - r.nowJD > 0 ? now.year - in.year - 1
                                                         : now.year - in.year;
  r.ageText = age < 0 ? "-" : WholeText(static_cast<std::int64_t>(age));

  r.weekday = WeekdayIndex(static_cast<std::int64_t>(std::llround(r.birthDateJD - 0.5)));

  // The true-solar reading is placed at universal time as if it were JST,
  // so the solar terms are compared with true solar time.
  const ApparentSun sun = ApparentSunAt(
      tables, {r.solarYear, r.solarMonth, r.solarDay, r.solarHour, r.solarMinute}, in.year);
  r.lightTimeDays = sun.lightTimeDays;
  r.sunLongitude = sun.longitude;

  const SolarMonth sm = FindSolarMonth(r.sunLongitude, r.solarYear, r.solarMonth);
  r.solarMonthNumber = sm.number;
  r.pillarYear = sm.pillarYear;
  r.yearParity = static_cast<int>(((static_cast<std::int64_t>(r.pillarYear) % 2) + 2) % 2);
  const PillarIndices p =
      PillarsOf(sm, r.solarYear, r.solarMonth, r.solarDay, r.solarHour, in.hourUnknown);
  r.yearStem = StemOf(p.year);
  r.yearBranch = BranchOf(p.year);
  r.monthStem = StemOf(p.month);
  r.monthBranch = BranchOf(p.month);
  r.dayStem = StemOf(p.day);
  r.dayBranch = BranchOf(p.day);
  if (!in.hourUnknown) {
    r.hourStem = StemOf(p.hour);
    r.hourBranch = BranchOf(p.hour);
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
