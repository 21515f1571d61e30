// Sexagenary indices, weekdays, month lengths and the equation of time.
#include <gtest/gtest.h>

#include "calc/Module2.h"

namespace torvela {
namespace {

TEST(Cycles, DayPillarAndWeekday) {
  struct Case {
    std::int64_t day;
    int pillar, weekday;
  } const cases[] = {
      {2451544, 55, 7},  // 2000-01-01, 戊午, 土
      {2451545, 56, 1},  // next day, 日
      {2433190, 1, 7},   // 1949-10-01, 甲子, 土
      {2433189, 60, 6},  // the day before, 癸亥: 60, never 0
      {2451543, 54, 6},
      {2451546, 57, 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DayPillarIndex(c.day), c.pillar) << c.day;
    EXPECT_EQ(WeekdayIndex(c.day), c.weekday) << c.day;
  }
  EXPECT_EQ(WeekdayIndex(2451542), 5);  // 1999-12-30, 木
  EXPECT_EQ(WeekdayIndex(2451546 + 7 * 1000), WeekdayIndex(2451546));
  EXPECT_EQ(DayPillarIndex(2451544 - 60 * 40000), 55);
  // Every index comes round once in sixty days.
  for (std::int64_t n = 2451500; n < 2451560; ++n) {
    EXPECT_EQ(DayPillarIndex(n + 1), DayPillarIndex(n) % 60 + 1);
    EXPECT_EQ(WeekdayIndex(n + 1), WeekdayIndex(n) % 7 + 1);
  }
}

TEST(Cycles, YearPillar) {
  const std::pair<int, int> cases[] = {{1984, 1}, {1983, 60}, {2043, 60}, {2000, 17},
                                       {1949, 26}, {1900, 37}, {2044, 1}};
  for (const auto& [year, index] : cases) EXPECT_EQ(YearPillarIndex(year), index) << year;
}

TEST(Cycles, MonthPillar) {
  struct Case {
    int year, month, index;
  } const cases[] = {
      {1984, 2, 3},   // 丙寅
      {1984, 12, 13}, // 丙子
      {1984, 1, 14},  // 丁丑
      {1953, 2, 51},  // 甲寅
      {1953, 1, 2},   // 乙丑
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MonthPillarIndex(c.year, c.month), c.index) << c.year << "/" << c.month;
  }
  // The months run on one step each, across the turn of the pillar year.
  for (int y = 1900; y < 1910; ++y) {
    for (int m = 2; m < 12; ++m) {
      EXPECT_EQ(MonthPillarIndex(y, m + 1), MonthPillarIndex(y, m) % 60 + 1);
    }
    EXPECT_EQ(MonthPillarIndex(y, 1), MonthPillarIndex(y, 12) % 60 + 1);
    EXPECT_EQ(MonthPillarIndex(y + 1, 2), MonthPillarIndex(y, 1) % 60 + 1);
  }
}

TEST(Cycles, StemAndBranch) {
  EXPECT_EQ(StemOf(55), 5);
  EXPECT_EQ(BranchOf(55), 7);
  EXPECT_EQ(StemOf(60), 10);
  EXPECT_EQ(BranchOf(60), 12);
  EXPECT_EQ(StemOf(1), 1);
  EXPECT_EQ(BranchOf(1), 1);
}

TEST(MonthDays, GregorianLeapRule) {
  const std::pair<int, int> february[] = {{1900, 28}, {2000, 29}, {2004, 29},
                                          {2100, 28}, {2001, 28}, {1600, 29}};
  Module2 m;
  EXPECT_EQ(m.MonthDays[2], 0);
  for (const auto& [year, days] : february) {
    m.SetMonthDays(year);
    EXPECT_EQ(m.MonthDays[2], days) << year;
    EXPECT_EQ(MonthLengths(year)[2], days) << year;
  }
  m.SetMonthDays(2000);
  m.SetMonthDays(2001);
  const std::array<int, 13> common{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  EXPECT_EQ(m.MonthDays, common);
}

TEST(EquationOfTime, KnownDates) {
  struct Case {
    double month, day, minutes;
    const char* minutesText;
    const char* secondsText;
  } const cases[] = {
      {2, 11.5, -14.274, "-14", "16.5"}, {11, 3.5, 16.467, "+16", "28.0"},
      {7, 26.5, -6.505, "-6", "30.3"},   {4, 15.5, 0.056, "+0", "3.3"},
      {6, 13.5, -0.104, "-0", "6.2"},
  };
  for (const auto& c : cases) {
    const EquationOfTime e = ComputeEquationOfTime(2000, c.month, c.day);
    EXPECT_NEAR(e.EotMinutes, c.minutes, 5e-4) << c.month << "/" << c.day;
    EXPECT_EQ(e.EotMinutesText, c.minutesText) << c.month << "/" << c.day;
    EXPECT_EQ(e.EotSecondsText, c.secondsText) << c.month << "/" << c.day;
  }
}

TEST(EquationOfTime, TextsFromMinutes) {
  struct Case {
    double minutes;
    const char* minutesText;
    const char* secondsText;
  } const cases[] = {
      {0, "+0", "0.0"},          {3.9995, "+3", "60.0"},  // seconds are not carried
      {-3.9995, "-3", "60.0"},   {-0.5, "-0", "30.0"},
      {16.466941, "+16", "28.0"}, {12.25, "+12", "15.0"},
  };
  for (const auto& c : cases) {
    const EquationOfTime e = EquationOfTimeFromMinutes(c.minutes);
    EXPECT_EQ(e.EotMinutes, c.minutes);
    EXPECT_EQ(e.EotMinutesText, c.minutesText) << c.minutes;
    EXPECT_EQ(e.EotSecondsText, c.secondsText) << c.minutes;
  }
}

}  // namespace
}  // namespace torvela
