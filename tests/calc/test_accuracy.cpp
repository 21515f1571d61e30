// The sun's apparent longitude against ERFA over 1800-2081.
//
// Reference: for t taken as TT, the geocentric sun is minus the earth's
// heliocentric position (eraEpv00; the sun's own motion during the light
// time is below 0.001"), made apparent by annual aberration with the earth's
// barycentric velocity (eraAb), rotated from GCRS to the true equator and
// equinox of date (eraPnm06a, IAU 2006/2000A), and referred to the ecliptic
// of date by the true obliquity (eraObl06 + nutation in obliquity).
//
// The program's apparent longitude comes from two calls: the geometric
// position at t gives the light time from the radius vector, and the position
// at t less that light time is where the sun is seen.
#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <vector>

#include "calc/Module2.h"

namespace torvela {
namespace {

constexpr int kInstants = 3000;

double ErfaApparentLongitude(double jd) {
  const double d1 = 2400000.5, d2 = jd - 2400000.5;
  double pvh[2][3], pvb[2][3];
  eraEpv00(d1, d2, pvh, pvb);
  double sun[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
  double dist, dir[3];
  eraPn(sun, &dist, dir);
  double v[3];
  for (int i = 0; i < 3; ++i) v[i] = pvb[1][i] * ERFA_AULT / ERFA_DAYSEC;
  const double bm1 = std::sqrt(1 - eraPdp(v, v));
  double apparent[3];
  eraAb(dir, v, dist, bm1, apparent);
  double rbpn[3][3], ofDate[3];
  eraPnm06a(d1, d2, rbpn);
  eraRxp(rbpn, apparent, ofDate);
  double dpsi, deps;
  eraNut06a(d1, d2, &dpsi, &deps);
  const double eps = eraObl06(d1, d2) + deps;
  const double y = ofDate[1] * std::cos(eps) + ofDate[2] * std::sin(eps);
  return eraAnp(std::atan2(y, ofDate[0])) / ERFA_DD2R;
}

double ApparentLongitude(Module2& m, double day) {
  m.SunPosition(1800, 1, day);
  const double lightTime = m.SunDistance * 1495.9787 / 2.99792458 / 3600 / 24;
  m.SunPosition(1800, 1, day - lightTime);
  return m.SunLongitude;
}

struct Errors {
  double max = 0, rms = 0;
};

class SunAccuracy : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const double first = JulianDay(1800, 1, 1), last = JulianDay(2081, 12, 31);
    for (int k = 0; k < kInstants; ++k) {
      // Irregular spacing so the instants fall at every time of day.
      const double offset = (k + 0.37) * (last - first) / kInstants;
      offsets_.push_back(offset);
      reference_.push_back(ErfaApparentLongitude(first + offset));
    }
  }

  Errors Compare(Module2& m) const {
    Errors e;
    double sum = 0;
    for (std::size_t k = 0; k < offsets_.size(); ++k) {
      double diff = (ApparentLongitude(m, 1 + offsets_[k]) - reference_[k]) * 3600;
      diff = std::remainder(diff, 360.0 * 3600);
      e.max = std::max(e.max, std::fabs(diff));
      sum += diff * diff;
    }
    e.rms = std::sqrt(sum / static_cast<double>(offsets_.size()));
    return e;
  }

  static std::vector<double> offsets_, reference_;
};

std::vector<double> SunAccuracy::offsets_, SunAccuracy::reference_;

TEST_F(SunAccuracy, WithinTwoAndAHalfArcsecondsOfErfa) {
  Module2 m;
  m.LoadTables(TORVELA_TEST_BIN_DIR);
  const Errors e = Compare(m);
  std::cout << "sun vs ERFA, " << kInstants << " instants 1800-2081: max " << e.max
            << "\", RMS " << e.rms << "\"\n";
  RecordProperty("max_arcsec", std::to_string(e.max));
  RecordProperty("rms_arcsec", std::to_string(e.rms));
  EXPECT_LT(e.max, 2.5);
  EXPECT_LT(e.rms, 1.0);
}

// Without the planetary terms the same check fails: it would catch a table
// that did not load or a term that slipped.
TEST_F(SunAccuracy, FailsWithoutThePlanetaryTerms) {
  Module2 m;
  m.LoadTables(TORVELA_TEST_BIN_DIR);
  for (auto& row : m.PlanetTermValues) row = {0, 0, 0, 0};
  const Errors e = Compare(m);
  std::cout << "sun vs ERFA without planetary terms: max " << e.max << "\", RMS " << e.rms
            << "\"\n";
  EXPECT_GT(e.max, 2.5);
}

}  // namespace
}  // namespace torvela
