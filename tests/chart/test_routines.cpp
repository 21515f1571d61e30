// The pure routines of the chart, by table: pillars, the great-luck
// sequence, and clock time to true solar time with its carries. The present
// great-luck column is checked through whole charts.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "chart/GreatLuck.h"
#include "chart/Pillars.h"
#include "chart/TrueSolarTime.h"

namespace torvela::chart {
namespace {

TEST(Pillars, SolarMonthAndYearChange) {
  const double cases[][5] = {  // (L, year, month, solar month, pillar year)
      {314.99, 2000, 2, 1, 1999},  // February before 立春: previous year
      {315.0, 2000, 2, 2, 2000},   // 立春 itself opens month 2
      {359.99, 2000, 3, 3, 2000}, {0.0, 2000, 3, 3, 2000}, {15.0, 2000, 4, 4, 2000},
      {254.99, 2000, 12, 11, 2000}, {255.0, 2000, 12, 12, 2000},
      {282, 2001, 1, 12, 2000}, {285.0, 2001, 1, 1, 2000}, {300, 2001, 1, 1, 2000},
      // No real date: month from L alone, in the calendar year.
      {260, 2000, 11, 12, 2000}, {290, 2000, 12, 1, 2000}, {300, 2000, 6, 1, 2000},
  };
  for (const auto& c : cases) {
    const SolarMonth m = FindSolarMonth(c[0], c[1], c[2]);
    EXPECT_EQ(m.number * 10000 + m.pillarYear, c[3] * 10000 + c[4]) << c[0] << " " << c[2];
  }
}

TEST(Pillars, DayHourAndSeason) {
  EXPECT_EQ(DayPillarOfDate(2000, 1, 1), 55);  // 戊午
  EXPECT_EQ(DayPillarOfDate(1949, 10, 1), 1);  // 甲子
  const int hours[][3] = {
      {5, 0, 49}, {5, 11, 55}, {5, 23, 1},   // 戊: 壬子, 戊午, wraps to 甲子
      {10, 23, 1}, {1, 0, 1}, {1, 22, 12},   // 癸 wraps too; 甲: 甲子, 乙亥
      {1, 23, 13}, {6, 1, 2}, {2, 0, 13},    // 甲 at 23 h: 丙子; 己 shares 甲's row
      {4, 12, 43}, {9, 2, 38},
  };
  for (const auto& c : hours) EXPECT_EQ(HourPillarIndex(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  // 土 takes the 18 degrees before each season's first term.
  const std::tuple<int, double, const char*> seasons[] = {
      {2, 320, "木"}, {4, 26.99, "木"}, {4, 27.0, "土"}, {5, 50, "火"}, {7, 116.99, "火"},
      {7, 117.0, "土"}, {8, 140, "金"}, {10, 206.9, "金"}, {10, 207, "土"}, {12, 260, "水"},
      {1, 296.99, "水"}, {1, 297.0, "土"},
  };
  for (const auto& [n, L, e] : seasons) EXPECT_EQ(SeasonElement(n, L), e) << n << " " << L;
}

TEST(GreatLuck, DirectionAndStartAge) {
  // (parity, male, female): forwards for a yang man or a yin woman only.
  const int directions[][4] = {
      {0, 1, 0, 1}, {0, 0, 1, 0}, {1, 1, 0, 0}, {1, 0, 1, 1}, {0, 0, 0, 0}, {1, 0, 0, 0}};
  for (const auto& d : directions)
    EXPECT_EQ(LuckDirection(d[0], d[1], d[2]), d[3] == 1) << d[0] << d[1] << d[2];
  const double cases[][6] = {  // (forward, solar month, L, years, months, days)
      {1, 3, 350, 8, 4, 0},     // 25/3 years: truncation must not give 3 months 29 days
      {1, 3, 5, 3, 4, 0},       // 370 reduced to 10 degrees
      {0, 3, 5, 6, 8, 0},      // back across 0 degrees to 345
      {0, 2, 316.5, 0, 6, 0},  // 1.5 degrees is half a year
      {0, 2, 315, 0, 0, 0},    // born on the term
      {1, 12, 270, 5, 0, 0},    // month 12 steps to month 1 (285)
      {0, 1, 290, 1, 8, 0},    // month 1 looks back to 285
      {1, 5, 45.25, 9, 10, 29}, // 29.75 degrees: truncated in the stated order
  };
  for (const auto& c : cases) {
    const StartAge s = ComputeStartAge(c[0] == 1, int(c[1]), c[2]);
    EXPECT_EQ(s.years * 10000 + s.months * 100 + s.days, c[3] * 10000 + c[4] * 100 + c[5]) << c[2];
    EXPECT_TRUE(s.termDistance >= 0 && s.termDistance < 360) << c[2];
  }
}

TEST(GreatLuck, ColumnsWrapBothWays) {
  // (forward, month stem, branch, column, stem, branch)
  const int cases[][6] = {{1, 10, 12, 0, 10, 12}, {1, 10, 12, 1, 1, 1}, {1, 10, 12, 10, 10, 10},
                          {0, 1, 1, 1, 10, 12}, {0, 1, 1, 10, 1, 3}};
  for (const auto& c : cases) {
    const LuckColumns l = FillLuckColumns(c[0], c[1], c[2]);
    EXPECT_EQ(l.stems[c[3]] * 100 + l.branches[c[3]], c[4] * 100 + c[5]) << c[0] << " " << c[3];
  }
}

StartAge Split(int years, int months, int days) { return {0, 0, years, months, days}; }

TEST(GreatLuck, ChangeYearMonthAndAges) {
  // (solar month, solar day, year stem, start, change month count, stem, branch)
  const std::tuple<int, double, int, StartAge, int, int, int> cases[] = {
      {5, 10, 1, Split(3, 8, 10), 5, 4, 2},    // 13 is no carry: 丁年丑月
      {5, 25, 1, Split(3, 8, 10), 6, 5, 3},    // day overflow gives 14: next year
      {6, 1, 1, Split(3, 8, 0), 6, 5, 3},      // 14 carries
      {1, 1, 10, Split(0, 2, 0), 1, 1, 4},     // month 1 with months > 1: next year
      {1, 1, 10, Split(0, 1, 0), 1, 10, 3},    // months = 1 stays
      {12, 1, 3, Split(9, 11, 29), 12, 3, 12}, // 12 + 11 = 23: carry, stem wraps
  };
  for (const auto& [n, solarDay, yearStem, start, count, stem, branch] : cases) {
    const ChangeMonth m = ChangeYearMonth(n, solarDay, yearStem, start);
    EXPECT_EQ(m.changeMonthCount * 10000 + m.changeYearStem * 100 + m.changeMonthBranch,
              count * 10000 + stem * 100 + branch) << n << " " << solarDay;
  }
  // Only a change month count beyond 13 carries into the ages; born on the term, the first
  // column ends at 0, not -1. (count, start, from0, to0, from1, to1, from9, to10)
  const std::tuple<int, StartAge, std::array<int, 6>> ages[] = {
      {5, Split(3, 8, 0), {3, 2, 13, 12, 93, 102}},  // 13: no carry
      {6, Split(3, 8, 0), {4, 3, 14, 13, 94, 103}},  // 14 carries
      {1, Split(2, 5, 0), {2, 1, 12, 11, 92, 101}},  // month 1 moves the change year only
      {3, Split(0, 0, 0), {0, 0, 10, 9, 90, 99}},
  };
  for (const auto& [count, start, want] : ages) {
    const LuckAgeRanges r = LuckAges(count, start);
    EXPECT_EQ((std::array<int, 6>{r.fromAges[0], r.toAges[0], r.fromAges[1], r.toAges[1],
                                  r.fromAges[9], r.toAges[10]}), want) << count;
  }
}

// Day number of a Gregorian date, to compare moments across carries.
double Days(const CalendarMoment& m) {
  return JulianDay(m.year, m.month, m.day) + m.hour / 24 + m.minute / 1440;
}

TEST(ApplyCorrection, ValidMomentAcrossCalendarBoundaries) {
  // Sampled so that month ends, leap days (1900 and 2000 too) and year ends are all visited,
  // with carries of up to two days.
  const double corrections[] = {-2880, -130,   -65, -64.99, -60,    -59.999, -48.5, -30.25,
                                -0.01, 0,      0.01, 14.3,   59.999, 60,      61.5,  65};
  for (std::int64_t year = 1800; year <= 2100; year += 4)
    for (int month = 1; month <= 12; ++month)
      for (int day : {1, 28, MonthLengths(year)[month]})
        for (double hour : {0.0, 23.0})
          for (double minute : {0.0, 59.0})
            for (double c : corrections) {
              const CalendarMoment clock{double(year), double(month), double(day), hour, minute};
              const CalendarMoment s = ApplyCorrection(clock, c);
              const int days = MonthLengths(static_cast<std::int64_t>(s.year))[int(s.month)];
              ASSERT_TRUE(s.minute >= 0 && s.minute < 60 && s.hour >= 0 && s.hour <= 23 &&
                          s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= days)
                  << year << "-" << month << "-" << day << " " << hour << ":" << minute << " " << c;
              // The same moment, shifted by exactly the correction.
              ASSERT_NEAR(Days(s) - Days(clock), c / 1440, 1e-8);
              // Under an hour, one carry per unit: the minute is the plain sum, bit for bit.
              const double sum = minute + c;
              const double plain = sum < 0 ? minute + 60 + c : sum >= 60 ? minute - 60 + c : sum;
              if (std::fabs(c) < 60) { ASSERT_EQ(s.minute, plain); }
            }
}

}  // namespace
}  // namespace torvela::chart
