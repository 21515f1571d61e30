// Julian day, angle reduction, solar terms, nutation and the sun's position
// at J2000.0, where every intermediate value of the theory is known.
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
  const int half0[13] = {0, 285, 315, 345, 15, 45, 75, 105, 135, 165, 195, 225, 255};
  for (int m = 1; m <= 12; ++m)
    EXPECT_EQ(SolarTermLongitude(m, 0) * 1000 + SolarTermLongitude(m, 1),
              half0[m] * 1000 + (half0[m] == 345 ? 0 : half0[m] + 15)) << m;
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
}

TEST(SunPosition, AnyDateInRangeAndCallsIndependent) {
  const Tables tables = LoadTables(TORVELA_TEST_BIN_DIR);
  const double dates[][3] = {{1, 1, 1}, {1868, 9, -40.3}, {2100, 12, 99.9}, {9999, 12, 31}};
  for (const auto& d : dates) {
    const SunState a = SunPosition(tables, d[0], d[1], d[2]);
    EXPECT_TRUE(a.SunLongitude >= 0 && a.SunLongitude < 360 && a.SunDistance > 0.98 &&
                a.SunDistance < 1.02) << a.SunLongitude << " " << a.SunDistance;
  }
}

}  // namespace
}  // namespace torvela
