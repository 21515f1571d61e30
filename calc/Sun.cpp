// The sun's geocentric longitude (true equinox of date, without aberration)
// and radius vector: mean elements, equation of the centre, planetary, lunar
// and long-period terms, and nutation. Sums keep their written order so the
// results agree to the last bit wherever the theory is evaluated.
#include <cmath>

#include "calc/Module2.h"

namespace torvela {
namespace {

double SinDeg(double deg) { return std::sin(deg * DegToRad); }
double CosDeg(double deg) { return std::cos(deg * DegToRad); }

}  // namespace

// Input: tables (planet.txt loaded), date in UT (day with fraction).
// Output: SunLongitude (degrees, [0, 360)), SunDistance (au) and the state of
// every step.
SunState SunPosition(const Tables& tables, double year, double month, double day) {
  SunState s;
  s.SunJD = JulianDay(year, month, day);
  const double T = JulianCenturies(s.SunJD);
  SunMeanLongitude(s, T);
  SunMeanAnomaly(s, T);
  EquationOfCentre(s, T);
  PlanetPerturbation(s, tables, s.SunJD);
  MoonPerturbation(s, T);
  LongPeriodLongitude(s, T);
  const double lambda = s.LongitudeTerms[1] + s.LongitudeTerms[0] + s.LongitudeTerms[2] +
                        s.LongitudeTerms[3] + s.LongitudeTerms[4];
  s.SunLongitude = Reduce(lambda);
  s.SunDistance = std::pow(10.0, (s.LogRadiusTerms[3] + s.LogRadiusTerms[1]) * 1e-8 +
                                     s.LogRadiusTerms[2] * 1e-9);
  return s;
}

// T: Julian centuries. Sets LongitudeTerms[0], the mean longitude, reduced.
void SunMeanLongitude(SunState& s, double T) {
  const double L = 279.696677778 + 36000.768925 * T + 0.0003025 * (T * T);
  s.LongitudeTerms[0] = Reduce(L);
}

// T: Julian centuries. Sets MeanAnomalyPoly (degrees), LongPeriodSum
// (arcseconds) and PlanetAnomaly[3], the perturbed mean anomaly, reduced.
void SunMeanAnomaly(SunState& s, double T) {
  const double T2 = T * T;
  const double T3 = T2 * T;
  const double M0 = 358.475833333 + 35999.04975 * T - 0.00015 * T2 - 0.0000033333 * T3;
  s.MeanAnomalyPoly = M0;
  s.LongPeriodSum = (1.882 - 0.016 * T) * SinDeg(57.24 + 150.27 * T) +
                  6.4 * SinDeg(231.19 + 20.2 * T) + 0.266 * SinDeg(31.8 + 119.0 * T);
  s.PlanetAnomaly[3] = Reduce(M0 + s.LongPeriodSum / 3600);
}

// T: Julian centuries. Sets LongitudeTerms[1] (degrees) and LogRadiusTerms[1]
// (1e-8) from the perturbed mean anomaly.
void EquationOfCentre(SunState& s, double T) {
  const double M = s.PlanetAnomaly[3];
  const double T2 = T * T;
  const double C = (6910.057 - 17.24 * T - 0.052 * T2) * SinDeg(M) +
                   (72.338 - 0.361 * T) * SinDeg(2 * M) +
                   (1.054 - 0.001 * T) * SinDeg(3 * M) + 0.018 * SinDeg(4 * M);
  s.LongitudeTerms[1] = C / 3600;
  s.LogRadiusTerms[1] = 3057 - 15 * T + (-727412 + 1814 * T + 5 * T2) * CosDeg(M) +
                      (-9138 + 46 * T) * CosDeg(2 * M) + (-145 + T) * CosDeg(3 * M) -
                      2 * CosDeg(4 * M);
}

// jd: Julian day. Sets the planets' mean anomalies, LongitudeTerms[2]
// (degrees) and LogRadiusTerms[2] (1e-9) from the loaded table. A row whose
// planet number is outside 1..6 (the empty rows of a table never loaded)
// contributes nothing.
void PlanetPerturbation(SunState& s, const Tables& tables, double jd) {
  const double Y = (jd - 2396758.0) / 365.25;
  s.PlanetAnomaly[1] = 248.07 + 1494.7253 * Y;
  s.PlanetAnomaly[2] = 114.5 + 585.17493 * Y;
  s.PlanetAnomaly[4] = 109.856 + 191.39977 * Y;
  s.PlanetAnomaly[5] = 148.031 + 30.34583 * Y;
  s.PlanetAnomaly[6] = 284.716 + 12.21794 * Y;
  const double g3 = s.PlanetAnomaly[3];
  double dl = 0;
  double dr = 0;
  for (int i = 1; i <= PlanetTermCount; ++i) {
    const auto& key = tables.PlanetTermKeys[i];
    const int p = key[0];
    if (p < 1 || p > 6) continue;
    const double g = s.PlanetAnomaly[p];
    const double j = key[1];
    const double k = key[2];
    const auto& v = tables.PlanetTermValues[i];
    dl = v[0] * CosDeg((v[1] - j * g) - k * g3) + dl;
    dr = v[2] * CosDeg((v[3] - j * g) - k * g3) + dr;
  }
  s.LongitudeTerms[2] = dl / 3600;
  s.LogRadiusTerms[2] = dr;
}

// T: Julian centuries. Sets LongitudeTerms[3] (lunar terms plus nutation,
// degrees) and LogRadiusTerms[3] (1e-8). The nutation takes the unperturbed
// mean anomaly polynomial; the lunar terms take the perturbed anomaly.
void MoonPerturbation(SunState& s, double T) {
  const double d = 36525 * T;
  const double T2 = T * T;
  const double T3 = T2 * T;
  const double d2 = d * d;
  const double d3 = d2 * d;
  const double M = s.PlanetAnomaly[3];
  const double D = 350.737486 + 12.19074919142 * d - 0.00143611 * T2 + 0.00000189 * T3;
  const double l = 296.104608 + 13.0649924465 * d + 0.00919167 * T2 + 0.00001439 * T3;
  const double Om = 259.183275 - 0.0529539222 * d + 1.557e-12 * d2 + 4.6e-20 * d3;
  const double F = 11.250889 + 13.229350449 * d - 2.407e-12 * d2 - 0.7e-20 * d3;
  const double lunar = 6.454 * SinDeg(D) + 0.013 * SinDeg(3 * D) + 0.177 * SinDeg(D + l) -
                       0.424 * SinDeg(D - l) + 0.039 * SinDeg(3 * D - l) -
                       0.064 * SinDeg(D + M) + 0.172 * SinDeg(D - M);
  s.LongitudeTerms[3] = lunar / 3600;
  s.LogRadiusTerms[3] = 3 * CosDeg(3 * D) + 1336 * CosDeg(D) + 37 * CosDeg(D + l) -
                      133 * CosDeg(D - l) + 8 * CosDeg(3 * D - l) - 14 * CosDeg(D + M) +
                      36 * CosDeg(D - M);
  s.LongitudeTerms[3] = NutationInLongitude(l, s.MeanAnomalyPoly, F, D, Om, T) + s.LongitudeTerms[3];
}

// T: Julian centuries. Sets LongitudeTerms[4], the long-period terms, degrees.
void LongPeriodLongitude(SunState& s, double T) {
  s.LongitudeTerms[4] = (0.202 * SinDeg(315.6 + 893.3 * T) + s.LongPeriodSum) / 3600;
}

}  // namespace torvela
