// The pure routines of the pillars and the great-luck sequence, by table.
#include <gtest/gtest.h>

#include "chart/GreatLuck.h"
#include "chart/Pillars.h"

namespace torvela::chart {
namespace {

TEST(FindSolarMonth, BoundariesAndYearChange) {
  struct Case {
    double L, year, month;
    int n;
    double pillarYear;
  } cases[] = {
      {314.99, 2000, 2, 1, 1999},  // February before 立春: previous year
      {315.0, 2000, 2, 2, 2000},   // 立春 itself opens month 2
      {359.99, 2000, 3, 3, 2000},  {0.0, 2000, 3, 3, 2000},
      {15.0, 2000, 4, 4, 2000},    {254.99, 2000, 12, 11, 2000},
      {255.0, 2000, 12, 12, 2000}, {282, 2001, 1, 12, 2000},  // January, before 285
      {300, 2001, 1, 1, 2000},     {285.0, 2001, 1, 1, 2000},
      // No real date: month from L alone, in the calendar year.
      {260, 2000, 11, 12, 2000},   {290, 2000, 12, 1, 2000},  {300, 2000, 6, 1, 2000},
  };
  for (const Case& c : cases) {
    const SolarMonth m = FindSolarMonth(c.L, c.year, c.month);
    EXPECT_EQ(m.number, c.n) << "L=" << c.L << " month=" << c.month;
    EXPECT_EQ(m.pillarYear, c.pillarYear) << "L=" << c.L << " month=" << c.month;
  }
}

TEST(HourPillarIndex, ZiHourAtBothEndsOfTheDay) {
  struct Case {
    int dayStem;
    double hour;
    int index;
  } cases[] = {
      {5, 0, 49},  {5, 11, 55}, {5, 23, 1},    // 戊: 壬子, 戊午, wraps to 甲子
      {10, 23, 1}, {1, 0, 1},   {1, 21, 12},   // 癸 wraps too; 甲: 甲子, 乙亥
      {1, 22, 12}, {1, 23, 13}, {6, 1, 2},     // 甲 at 23 h: 丙子; 己 shares 甲's row
      {2, 0, 13},  {4, 12, 43}, {9, 2, 38},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HourPillarIndex(c.dayStem, c.hour), c.index) << c.dayStem << " " << c.hour;
}

TEST(Pillars, DayPillarOfDate) {
  EXPECT_EQ(DayPillarOfDate(2000, 1, 1), 55);  // 戊午
  EXPECT_EQ(DayPillarOfDate(1949, 10, 1), 1);  // 甲子
  // Dates sixty days apart share the pillar, across months and leap days.
  EXPECT_EQ(DayPillarOfDate(2000, 1, 1), DayPillarOfDate(2000, 3, 1));
  EXPECT_EQ(DayPillarOfDate(1899, 12, 31), DayPillarOfDate(1900, 3, 1));
}

TEST(SeasonElement, DoyoStartsEighteenDegreesBeforeEachSeason) {
  struct Case {
    int n;
    double L;
    const char* element;
  } cases[] = {
      {2, 320, "木"},   {3, 5, "木"},     {4, 26.99, "木"},  {4, 27.0, "土"},
      {5, 50, "火"},    {7, 116.99, "火"}, {7, 117.0, "土"}, {8, 140, "金"},
      {10, 206.9, "金"}, {10, 207, "土"},  {12, 260, "水"},  {1, 296.99, "水"},
      {1, 297.0, "土"},
  };
  for (const Case& c : cases) EXPECT_EQ(SeasonElement(c.n, c.L), c.element) << c.n << " " << c.L;
}

TEST(LuckDirection, SexAndYearParity) {
  EXPECT_TRUE(LuckDirection(0, true, false));
  EXPECT_FALSE(LuckDirection(0, false, true));
  EXPECT_FALSE(LuckDirection(1, true, false));
  EXPECT_TRUE(LuckDirection(1, false, true));
  EXPECT_FALSE(LuckDirection(0, false, false));
  EXPECT_FALSE(LuckDirection(1, false, false));
}

TEST(ComputeStartAge, ArcToTheAdjacentSectionalTerm) {
  struct Case {
    bool forward;
    int n;
    double L;
    int years, months, days;
  } cases[] = {
      {true, 3, 350, 8, 4, 0},     // 25/3 years: truncation must not give 3 months 29 days
      {true, 3, 5, 3, 4, 0},       // 370 reduced to 10 degrees
      {false, 3, 5, 6, 8, 0},      // back across 0 degrees to 345
      {false, 2, 316.5, 0, 6, 0},  // 1.5 degrees is half a year
      {false, 2, 315, 0, 0, 0},    // born on the term
      {true, 12, 270, 5, 0, 0},    // month 12 steps to month 1 (285)
      {false, 1, 290, 1, 8, 0},    // month 1 looks back to 285
      {true, 5, 45.25, 9, 10, 29}, // 29.75 degrees: truncated in the stated order
  };
  for (const Case& c : cases) {
    const StartAge s = ComputeStartAge(c.forward, c.n, c.L);
    EXPECT_EQ(s.years, c.years) << c.n << " " << c.L;
    EXPECT_EQ(s.months, c.months) << c.n << " " << c.L;
    EXPECT_EQ(s.days, c.days) << c.n << " " << c.L;
    EXPECT_GE(s.termDistance, 0);
    EXPECT_LT(s.termDistance, 360);
  }
}

TEST(FillLuckColumns, StepsAndWrapsBothWays) {
  const LuckColumns f = FillLuckColumns(true, 10, 12);  // from 癸亥
  EXPECT_EQ(f.stems[0], 10);
  EXPECT_EQ(f.branches[0], 12);
  EXPECT_EQ(f.stems[1], 1);  // 甲子
  EXPECT_EQ(f.branches[1], 1);
  EXPECT_EQ(f.stems[10], 10);
  EXPECT_EQ(f.branches[10], 10);
  const LuckColumns b = FillLuckColumns(false, 1, 1);  // from 甲子
  EXPECT_EQ(b.stems[1], 10);  // 癸亥
  EXPECT_EQ(b.branches[1], 12);
  EXPECT_EQ(b.stems[10], 1);
  EXPECT_EQ(b.branches[10], 3);
}

StartAge Split(int years, int months, int days) {
  StartAge s;
  s.years = years;
  s.months = months;
  s.days = days;
  return s;
}

TEST(ChangeYearMonth, YearCarryAndMonthBranch) {
  struct Case {
    int n;
    double solarDay;
    int yearStem;
    StartAge start;
    int count, stem, branch;
  } cases[] = {
      {5, 10, 1, Split(3, 8, 10), 5, 4, 2},    // 13 is no carry: 丁年丑月
      {5, 25, 1, Split(3, 8, 10), 6, 5, 3},    // day overflow gives 14: next year
      {6, 1, 1, Split(3, 8, 0), 6, 5, 3},      // 14 carries
      {1, 1, 10, Split(0, 2, 0), 1, 1, 4},     // month 1 with months > 1: next year
      {1, 1, 10, Split(0, 1, 0), 1, 10, 3},    // months = 1 stays
      {12, 1, 3, Split(9, 11, 29), 12, 3, 12}, // 12 + 11 = 23: carry, stem wraps
  };
  for (const Case& c : cases) {
    const ChangeMonth m = ChangeYearMonth(c.n, c.solarDay, c.yearStem, c.start);
    EXPECT_EQ(m.changeMonthCount, c.count) << c.n << " " << c.solarDay;
    EXPECT_EQ(m.changeYearStem, c.stem) << c.n << " " << c.solarDay;
    EXPECT_EQ(m.changeMonthBranch, c.branch) << c.n << " " << c.solarDay;
  }
}

TEST(LuckAges, CarryOnlyBeyondThirteen) {
  LuckAgeRanges r = LuckAges(5, Split(3, 8, 0));  // 13: no carry
  EXPECT_EQ(r.fromAges[0], 3);
  EXPECT_EQ(r.toAges[0], 2);
  EXPECT_EQ(r.fromAges[9], 93);
  EXPECT_EQ(r.toAges[10], 102);
  r = LuckAges(6, Split(3, 8, 0));  // 14
  EXPECT_EQ(r.fromAges[0], 4);
  EXPECT_EQ(r.toAges[1], 13);
  // Month 1 with months > 1 moves the change year but not the ages.
  EXPECT_EQ(LuckAges(1, Split(2, 5, 0)).fromAges[0], 2);
  // Born on the term: the first column ends at 0, not -1.
  r = LuckAges(3, Split(0, 0, 0));
  EXPECT_EQ(r.toAges[0], 0);
  EXPECT_EQ(r.fromAges[1], 10);
  EXPECT_EQ(r.toAges[1], 9);
  EXPECT_EQ(r.toAges[2], 19);
}

TEST(FindCurrentLuckColumn, PeriodsAndLimits) {
  const double birth = 2444300.25, startAge = 5.5, span = startAge * 365.2422;
  struct Case {
    double now;
    int column;
  } cases[] = {
      {birth - 1, -1},  // not born yet: none, even within the start span's length
      {birth, 0},
      {birth + span - 0.001, 0},
      {birth + span, 1},
      {birth + span + 3652.422 - 0.001, 1},
      {birth + span + 3652.422, 2},
      {birth + span + 9.5 * 3652.422, 10},
      {birth + span + 36524.22 + 0.001, -1},  // a hundred years past the change
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindCurrentLuckColumn(birth, 0, c.now, startAge), c.column) << c.now - birth;
  // The present is moved by the time difference onto the birth's footing.
  EXPECT_EQ(FindCurrentLuckColumn(birth, -0.01, birth + 0.005, startAge), -1);
  EXPECT_EQ(FindCurrentLuckColumn(birth, 0.01, birth - 0.005, startAge), 0);
}

}  // namespace
}  // namespace torvela::chart
