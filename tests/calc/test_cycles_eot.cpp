// Sexagenary indices, weekdays, month lengths and the equation of time.
#include <gtest/gtest.h>

#include "calc/Module2.h"

namespace torvela {
namespace {

TEST(Cycles, DayYearMonthPillarsAndWeekdays) {
  // 2000-01-01 戊午 土, 日; 1949-10-01 甲子 土; the day before is 癸亥: 60, never 0.
  const std::int64_t days[][3] = {
      {2451544, 55, 7}, {2451545, 56, 1}, {2433190, 1, 7}, {2433189, 60, 6}, {51544, 55, 6}};
  for (const auto& c : days)
    EXPECT_EQ(DayPillarIndex(c[0]) * 10 + WeekdayIndex(c[0]), c[1] * 10 + c[2]) << c[0];
  const std::pair<int, int> years[] = {{1984, 1}, {1983, 60}, {2043, 60}, {2000, 17}, {1900, 37}};
  for (const auto& [year, index] : years) EXPECT_EQ(YearPillarIndex(year), index) << year;
  // 丙寅, 丙子, 丁丑 in 1984; 甲寅, 乙丑 in 1953.
  const int months[][3] = {
      {1984, 2, 3}, {1984, 12, 13}, {1984, 1, 14}, {1953, 2, 51}, {1953, 1, 2}};
  for (const auto& c : months) EXPECT_EQ(MonthPillarIndex(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
  // Stem and branch of 戊午, 癸亥, 甲子.
  const int parts[][3] = {{55, 5, 7}, {60, 10, 12}, {1, 1, 1}};
  for (const auto& c : parts) EXPECT_EQ(StemOf(c[0]) * 100 + BranchOf(c[0]), c[1] * 100 + c[2]);
}

TEST(Cycles, EachStepMovesOnByOne) {
  for (std::int64_t n = 2451500; n < 2451560; ++n) {
    EXPECT_EQ(DayPillarIndex(n + 1), DayPillarIndex(n) % 60 + 1);
    EXPECT_EQ(WeekdayIndex(n + 1), WeekdayIndex(n) % 7 + 1);
  }
  // Months run on one step each, across the turn of the pillar year.
  for (int y = 1900; y < 1910; ++y) {
    for (int m = 2; m < 12; ++m)
      EXPECT_EQ(MonthPillarIndex(y, m + 1), MonthPillarIndex(y, m) % 60 + 1);
    EXPECT_EQ(MonthPillarIndex(y, 1), MonthPillarIndex(y, 12) % 60 + 1);
    EXPECT_EQ(MonthPillarIndex(y + 1, 2), MonthPillarIndex(y, 1) % 60 + 1);
  }
}

TEST(MonthDays, GregorianLeapRule) {
  Module2 m;
  EXPECT_EQ(m.MonthDays[2], 0);
  for (const auto& [year, days] :
       {std::pair{1900, 28}, {2000, 29}, {2004, 29}, {2100, 28}, {2001, 28}}) {
    m.SetMonthDays(year);
    EXPECT_TRUE(m.MonthDays[2] == days && MonthLengths(year)[2] == days) << year;
  }
  const std::array<int, 13> common{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  EXPECT_EQ(m.MonthDays, common);  // nothing left over from the leap years
}

TEST(EquationOfTime, DatesAndTexts) {
  // (month, day, minutes, texts); month 0: the texts of the minutes alone.
  const std::tuple<double, double, double, const char*> cases[] = {
      {2, 11.5, -14.274, "-14 16.5"}, {11, 3.5, 16.467, "+16 28.0"}, {7, 26.5, -6.505, "-6 30.3"},
      {4, 15.5, 0.056, "+0 3.3"}, {6, 13.5, -0.104, "-0 6.2"}, {0, 0, 0, "+0 0.0"},
      {0, 0, 3.9995, "+3 60.0"},  // seconds are not carried into the minutes
      {0, 0, -3.9995, "-3 60.0"}, {0, 0, -0.5, "-0 30.0"}, {0, 0, 12.25, "+12 15.0"},
  };
  for (const auto& [month, day, minutes, texts] : cases) {
    const EquationOfTime e =
        month ? ComputeEquationOfTime(2000, month, day) : EquationOfTimeFromMinutes(minutes);
    EXPECT_NEAR(e.EotMinutes, minutes, 5e-4) << month << "/" << day;
    EXPECT_EQ(e.EotMinutesText + " " + e.EotSecondsText, texts) << minutes;
  }
}

}  // namespace
}  // namespace torvela
