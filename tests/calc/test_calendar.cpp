// Julian days, angle reduction, solar terms, nutation, the sun's position at
// J2000.0 (where every intermediate value of the theory is known), the
// sexagenary cycles, month lengths and the equation of time.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/Module2.h"

namespace torvela {
namespace {

TEST(JulianDay, KnownDates) {
  const double cases[][4] = {  // (year, month, day, Julian day)
      {2000, 1, 1.5, 2451545.0},   {2000, 1, 1, 2451544.5},   {1900, 1, 0.5, 2415020.0},
      {2000, 3, 1, 2451604.5},     {2000, 2, 29, 2451603.5},  {1949, 10, 1, 2433190.5},
      {1800, 1, 1, 2378496.5},     {2081, 12, 31, 2481494.5}, {1900, 2, 28, 2415078.5},
      {1900, 3, 1, 2415079.5},     {2100, 3, 1, 2488128.5},   {1987, 5, -3.25, 2446912.25},
      {2000, 3, 0.75, 2451604.25},  // a day below 1 runs back into February
  };
  for (const auto& c : cases) EXPECT_EQ(JulianDay(c[0], c[1], c[2]), c[3]) << c[0] << "-" << c[1];
  EXPECT_TRUE(JulianCenturies(2415020.0) == 0.0 && JulianCenturies(2451545.0) == 1.0);
}

TEST(Reduce, BringsEveryAngleIntoRange) {
  const std::pair<double, double> cases[] = {
      {-0.5, 359.5}, {360, 0}, {0, 0}, {725, 5}, {36280.465905278, 280.465905278}, {-1e-14, 0}};
  for (const auto& [x, want] : cases) EXPECT_NEAR(Reduce(x), want, 1e-9) << x;
  // Just below a multiple of 360 the raw formula gives 360.0.
  for (double x : {-1e-14, -1e-300, 720 - 1e-13, -360 - 1e-13, std::nextafter(0.0, -1.0)})
    EXPECT_TRUE(Reduce(x) >= 0.0 && Reduce(x) < 360.0) << x;
}

TEST(SolarTermLongitude, AllMonths) {
  for (int m = 1; m <= 12; ++m) {
    const int sectional = (255 + 30 * m) % 360;  // 小寒 285, 立春 315, ... 大雪 255
    EXPECT_EQ(SolarTermLongitude(m, 0) * 1000 + SolarTermLongitude(m, 1),
              sectional * 1000 + (sectional + 15) % 360) << m;
  }
}

TEST(Nutation, ReferenceValues) {
  EXPECT_EQ(NutationInLongitude(0, 0, 0, 0, 0, 0.7), 0.0);
  EXPECT_NEAR(NutationInLongitude(0, 0, 0, 0, 45, 0) * 3600, -13.5251195, 5e-8);
  // The arguments of the sun's position at J2000.0, unreduced and reduced.
  const double l = 477494.9629225, lp = 36357.5254299997, F = 483213.2728273;
  const double D = 445617.8502684, Om = -1674.9566540;
  EXPECT_NEAR(NutationInLongitude(l, lp, F, D, Om, 1) * 3600, -13.9677606, 5e-7);
  const auto r = [](double x) { return std::fmod(x, 360); };
  EXPECT_NEAR(NutationInLongitude(r(l), r(lp), r(F), r(D), r(Om), 1) * 3600, -13.9677606, 5e-7);
}

// At J2000.0 (T = 1) with an empty planetary table.
TEST(SunPosition, StateAtJ2000) {
  const SunState m = SunPosition(Tables{}, 2000, 1, 1.5);
  const std::tuple<const char*, double, double, double> cases[] = {  // (what, got, want, tolerance)
      {"SunJD", m.SunJD, 2451545.0, 0},
      {"mean longitude", m.LongitudeTerms[0], 280.465905278, 1e-9},
      {"mean anomaly", m.MeanAnomalyPoly, 36357.5254299997, 1e-9},
      {"long-period sum", m.LongPeriodSum, -6.7975026, 5e-8},
      {"earth's anomaly", m.PlanetAnomaly[3], 357.5235418045, 1e-9},
      {"equation of centre", m.LongitudeTerms[1], -0.0844950781, 5e-11},
      {"planetary longitude", m.LongitudeTerms[2], 0, 0},
      {"moon", m.LongitudeTerms[3], -0.0054707561, 5e-11},
      {"nutation", m.LongitudeTerms[4], -0.0018445271, 5e-11},
      {"log radius 1", m.LogRadiusTerms[1], -731076.15106, 5e-6},
      {"log radius 2 (planets)", m.LogRadiusTerms[2], 0, 0},
      {"log radius 3", m.LogRadiusTerms[3], 777.62444, 5e-6},
      {"longitude", m.SunLongitude, 280.3740949, 5e-8},
      {"distance", m.SunDistance, 0.98332485, 5e-9},
  };
  for (const auto& [what, got, want, tolerance] : cases) EXPECT_NEAR(got, want, tolerance) << what;
  // Far outside the theory's years the results still lie in range.
  const Tables tables = LoadTables(TORVELA_TEST_BIN_DIR);
  for (const auto& d :
       {std::array{1.0, 1.0, 1.0}, {1868, 9, -40.3}, {2100, 12, 99.9}, {9999, 12, 31}}) {
    const SunState a = SunPosition(tables, d[0], d[1], d[2]);
    EXPECT_TRUE(a.SunLongitude >= 0 && a.SunLongitude < 360 && a.SunDistance > 0.98 &&
                a.SunDistance < 1.02) << a.SunLongitude << " " << a.SunDistance;
  }
}

TEST(Cycles, PillarsAndWeekdays) {
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
  // Each step moves on by one: days and weekdays, months across the turn of the pillar year.
  for (std::int64_t n = 2451500; n < 2451560; ++n) {
    EXPECT_EQ(DayPillarIndex(n + 1), DayPillarIndex(n) % 60 + 1);
    EXPECT_EQ(WeekdayIndex(n + 1), WeekdayIndex(n) % 7 + 1);
  }
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
