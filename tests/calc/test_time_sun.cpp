// Julian day, angle reduction, solar terms, nutation and the sun's position
// at J2000.0, where every intermediate value of the theory is known.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/Module2.h"

namespace torvela {
namespace {

struct JdCase {
  double year, month, day, jd;
};

TEST(JulianDay, KnownDates) {
  const JdCase cases[] = {
      {2000, 1, 1.5, 2451545.0},  {2000, 1, 1, 2451544.5},   {1900, 1, 0.5, 2415020.0},
      {2000, 3, 1, 2451604.5},    {2000, 6, 15, 2451710.5},  {1949, 10, 1, 2433190.5},
      {1800, 1, 1, 2378496.5},    {2081, 12, 31, 2481494.5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JulianDay(c.year, c.month, c.day), c.jd) << c.year << "-" << c.month << "-" << c.day;
  }
  EXPECT_EQ(JulianCenturies(2415020.0), 0.0);
  EXPECT_EQ(JulianCenturies(2451545.0), 1.0);
}

TEST(JulianDay, MonthBoundariesFollowTheGregorianRule) {
  EXPECT_EQ(JulianDay(2000, 2, 29) + 1, JulianDay(2000, 3, 1));
  EXPECT_EQ(JulianDay(1900, 2, 28) + 1, JulianDay(1900, 3, 1));
  EXPECT_EQ(JulianDay(2100, 2, 28) + 1, JulianDay(2100, 3, 1));
  EXPECT_EQ(JulianDay(1999, 12, 31) + 1, JulianDay(2000, 1, 1));
  // A day below 1 runs back into the previous month: 18:00 on 29 February.
  EXPECT_EQ(JulianDay(2000, 3, 0.75), JulianDay(2000, 2, 29.75));
  // 05:00 JST on 1 March 2000 is 20:00 UT on 29 February.
  EXPECT_NEAR(JulianDay(2000, 3, 1 + 5.0 / 24 - 0.375), 2451604.3333333, 1e-6);
}

TEST(JulianDay, LinearInDay) {
  for (double d : {-3.25, 0.0, 1.0, 15.125, 31.5}) {
    EXPECT_EQ(JulianDay(1987, 5, d + 0.5), JulianDay(1987, 5, d) + 0.5) << d;
  }
}

TEST(Reduce, BringsEveryAngleIntoRange) {
  EXPECT_NEAR(Reduce(-0.5), 359.5, 1e-12);
  EXPECT_EQ(Reduce(360), 0.0);
  EXPECT_EQ(Reduce(0), 0.0);
  EXPECT_NEAR(Reduce(725), 5, 1e-12);
  EXPECT_NEAR(Reduce(36280.465905278), 280.465905278, 1e-9);
  // Just below a multiple of 360 the raw formula gives 360.0.
  for (double x : {-1e-14, -1e-300, 720 - 1e-13, -360 - 1e-13, std::nextafter(0.0, -1.0)}) {
    const double r = Reduce(x);
    EXPECT_GE(r, 0.0) << x;
    EXPECT_LT(r, 360.0) << x;
  }
  EXPECT_EQ(Reduce(-1e-14), 0.0);
}

TEST(SolarTermLongitude, AllMonths) {
  const int half0[13] = {0, 285, 315, 345, 15, 45, 75, 105, 135, 165, 195, 225, 255};
  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(SolarTermLongitude(m, 0), half0[m]) << m;
    EXPECT_EQ(SolarTermLongitude(m, 1), half0[m] == 345 ? 0 : half0[m] + 15) << m;
  }
}

TEST(Nutation, ReferenceValues) {
  EXPECT_EQ(NutationInLongitude(0, 0, 0, 0, 0, 0.7), 0.0);
  EXPECT_NEAR(NutationInLongitude(0, 0, 0, 0, 45, 0) * 3600, -13.5251195, 5e-8);
  // The arguments of the sun's position at J2000.0.
  const double l = 477494.9629225, lp = 36357.5254299997, F = 483213.2728273;
  const double D = 445617.8502684, Om = -1674.9566540;
  const double full = NutationInLongitude(l, lp, F, D, Om, 1);
  EXPECT_NEAR(full * 3600, -13.9677606, 5e-7);
  const double reduced = NutationInLongitude(std::fmod(l, 360), std::fmod(lp, 360),
                                             std::fmod(F, 360), std::fmod(D, 360),
                                             std::fmod(Om, 360), 1);
  EXPECT_NEAR(full * 3600, reduced * 3600, 1e-6);
}

// At J2000.0 (T = 1) with an empty planetary table.
TEST(SunPosition, StateAtJ2000) {
  Module2 m;
  m.SunPosition(2000, 1, 1.5);
  EXPECT_EQ(m.SunJD, 2451545.0);
  EXPECT_NEAR(m.LongitudeTerms[0], 280.465905278, 1e-9);
  EXPECT_NEAR(m.MeanAnomalyPoly, 36357.5254299997, 1e-9);
  EXPECT_NEAR(m.LongPeriodSum, -6.7975026, 5e-8);
  EXPECT_NEAR(m.PlanetAnomaly[3], 357.5235418045, 1e-9);
  EXPECT_NEAR(m.LongitudeTerms[1], -0.0844950781, 5e-11);
  EXPECT_NEAR(m.LogRadiusTerms[1], -731076.15106, 5e-6);
  EXPECT_NEAR(m.LogRadiusTerms[3], 777.62444, 5e-6);
  EXPECT_NEAR(m.LongitudeTerms[3], -0.0054707561, 5e-11);
  EXPECT_NEAR(m.LongitudeTerms[4], -0.0018445271, 5e-11);
  EXPECT_EQ(m.LongitudeTerms[2], 0.0);
  EXPECT_EQ(m.LogRadiusTerms[2], 0.0);
  EXPECT_NEAR(m.SunLongitude, 280.3740949, 5e-8);
  EXPECT_NEAR(m.SunDistance, 0.98332485, 5e-9);
}

TEST(SunPosition, AnyDateGivesAnAngleInRangeAndAPositiveDistance) {
  Module2 m;
  m.LoadTables(TORVELA_TEST_BIN_DIR);
  const double dates[][3] = {{1, 1, 1}, {1868, 9, -40.3}, {1975, 2, 4.1}, {2100, 12, 99.9},
                             {9999, 12, 31}};
  for (const auto& d : dates) {
    m.SunPosition(d[0], d[1], d[2]);
    EXPECT_GE(m.SunLongitude, 0.0);
    EXPECT_LT(m.SunLongitude, 360.0);
    EXPECT_GT(m.SunDistance, 0.98);
    EXPECT_LT(m.SunDistance, 1.02);
  }
}

// Each call starts afresh: a call in between leaves no trace.
TEST(SunPosition, CallsAreIndependent) {
  Module2 a, b;
  a.LoadTables(TORVELA_TEST_BIN_DIR);
  b.LoadTables(TORVELA_TEST_BIN_DIR);
  a.SunPosition(1975, 2, 4.1);
  b.SunPosition(2040, 7, 1);
  b.SunPosition(1975, 2, 4.1);
  EXPECT_EQ(a.SunLongitude, b.SunLongitude);
  EXPECT_EQ(a.SunDistance, b.SunDistance);
}

}  // namespace
}  // namespace torvela
