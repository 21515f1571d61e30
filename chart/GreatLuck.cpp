#include "chart/GreatLuck.h"

#include "calc/Module2.h"
#include "calc/Numeric.h"

namespace torvela::chart {

bool LuckDirection(int yearParity, bool male, bool female) {
  return (yearParity == 1 && female) || (yearParity == 0 && male);
}

StartAge ComputeStartAge(bool forward, int solarMonthNumber, double L) {
  StartAge s;
  if (forward) {
    int next = solarMonthNumber + 1;
    if (next > 12) next = 1;
    s.termDistance = SolarTermLongitude(next, 0) - L;
    // Month 3 straddles 0 deg: its closing term at 15 deg lies past 360.
    if (next == 4) s.termDistance += 360;
  } else {
    s.termDistance = L - SolarTermLongitude(solarMonthNumber, 0) + 360;
  }
  if (s.termDistance >= 360) s.termDistance -= 360;
  s.age = s.termDistance / 3;
  // The split works on the stored double in this order; 25/3 degrees must
  // give 8 years 4 months 0 days, not 3 months 29 days.
  s.years = static_cast<int>(Fix(s.age));
  const double months = (s.age - s.years) * 12;
  s.months = static_cast<int>(Fix(months));
  s.days = static_cast<int>(Fix((months - s.months) * 30));
  return s;
}

LuckColumns FillLuckColumns(bool forward, int monthStem, int monthBranch) {
  LuckColumns c;
  int s = monthStem, b = monthBranch;
  for (int i = 0; i <= 10; ++i) {
    c.stems[i] = s;
    c.branches[i] = b;
    s = CyclicMod(forward ? s + 1 : s - 1, 10);
    b = CyclicMod(forward ? b + 1 : b - 1, 12);
  }
  return c;
}

ChangeMonth ChangeYearMonth(int solarMonthNumber, double solarDay, int yearStem,
                            const StartAge& start) {
  ChangeMonth c;
  c.changeMonthCount = solarMonthNumber;
  if (solarDay + start.days > 30) c.changeMonthCount = solarMonthNumber + 1;
  const bool nextYear = c.changeMonthCount + start.months > 13 ||
                        (solarMonthNumber == 1 && start.months > 1);
  c.changeYearStem = CyclicMod(yearStem + start.years + (nextYear ? 1 : 0), 10);
  // + 1 turns a solar month number (2 = 寅) into a branch number (3 = 寅).
  c.changeMonthBranch = CyclicMod(start.months + c.changeMonthCount + 1, 12);
  return c;
}

LuckAgeRanges LuckAges(int changeMonthCount, const StartAge& start) {
  LuckAgeRanges r;
  const int a = start.years + (changeMonthCount + start.months > 13 ? 1 : 0);
  for (int i = 0; i < 10; ++i) r.fromAges[i] = a + 10 * i;
  for (int i = 0; i <= 10; ++i) r.toAges[i] = a - 1 + 10 * i;
  if (a == 0) r.toAges[0] = 0;
  return r;
}

int FindCurrentLuckColumn(double localBirthJD, double timeDiffDays, double nowJD,
                          double startAge) {
  const double now = nowJD + timeDiffDays;
  const double elapsed = now - localBirthJD;
  const double startSpan = startAge * 365.2422;
  if (elapsed < 0) {
    return -1;
  } else if (elapsed < startSpan) {
    return 0;
  } else if (localBirthJD + startSpan + 36524.22 <= now) {
    return -1;
  } else {
    for (int k = 1; k <= 10; ++k) {
      if (localBirthJD + startSpan + (k - 1) * 3652.422 <= now &&
          now < localBirthJD + startSpan + k * 3652.422)
        return k;
    }
    return -1;
  }
}

}  // namespace torvela::chart
