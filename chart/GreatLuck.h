// The great-luck sequence: direction, start age, the eleven columns with
// their ages, the year and month of the first change, and the column that
// holds the present moment.
#pragma once

#include <array>

namespace torvela::chart {

// True when the sequence runs forwards: a yang year (parity 0) for a man, a
// yin year (parity 1) for a woman. With no sex selected it runs backwards.
bool LuckDirection(int yearParity, bool male, bool female);

struct StartAge {
  double termDistance = 0;  // degrees of the sun's path to the sectional term
  double age = 0;           // years, 3 degrees a year
  int years = 0, months = 0, days = 0;  // truncated split: 1/12 year, 1/30 month
};

// Start age from the direction, the solar month 1..12 and the sun's longitude
// L (degrees): forwards the arc to the next sectional term, backwards the arc
// back to the term that opened the birth month.
StartAge ComputeStartAge(bool forward, int solarMonthNumber, double L);

struct LuckColumns {
  std::array<int, 11> stems{}, branches{};  // column 0 is the month pillar
};

// Steps the month pillar (stem 1..10, branch 1..12) through the cycle, one
// step per column, forwards or backwards.
LuckColumns FillLuckColumns(bool forward, int monthStem, int monthBranch);

struct ChangeMonth {
  int changeMonthCount = 0;   // solar month of the change before the month split
  int changeYearStem = 0;     // 1..10
  int changeMonthBranch = 0;  // 1..12
};

// Year stem and month branch of the first change from the solar month, the
// true-solar day of month, the year stem and the split of the start age.
ChangeMonth ChangeYearMonth(int solarMonthNumber, double solarDay, int yearStem,
                            const StartAge& start);

struct LuckAgeRanges {
  std::array<int, 10> fromAges{};  // fromAges[i]: first age of column i + 1
  std::array<int, 11> toAges{};    // toAges[i]: last age of column i
};

// Age ranges of the columns. Only a change month count beyond 13 carries
// into the ages (unlike the change year).
LuckAgeRanges LuckAges(int changeMonthCount, const StartAge& start);

// Column 0..10 that holds the present moment, or -1 when the birth is later
// than now or the first change lies a hundred years or more back. JDs are in
// days; the present is moved by the time difference onto the birth's footing.
// Periods are ten years of 365.2422 days each.
int FindCurrentLuckColumn(double localBirthJD, double timeDiffDays, double nowJD,
                          double startAge);

}  // namespace torvela::chart
