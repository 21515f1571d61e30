// Julian day, centuries, angle reduction and the longitudes of the solar terms.
#include "calc/Module2.h"
#include "calc/Numeric.h"

namespace torvela {

// Gregorian calendar date (day with fraction, UT) to Julian day.
// January and February count as months 13 and 14 of the previous year.
double JulianDay(double year, double month, double day) {
  double y = year;
  double m = month;
  if (m < 3) {
    y = y - 1;
    m = m + 12;
  }
  const double s = Int(365.25 * y) + Int(30.59 * (m - 2));
  const double jd = (s + day) + 1721086.5;
  const double g = Int(y / 400) - Int(y / 100) + 2;
  return jd + g;
}

// Julian day to Julian centuries from JD 2415020.0.
double JulianCenturies(double jd) { return (jd - 2415020.0) / 36525; }

// Degrees into [0, 360). For x a hair below a multiple of 360 the fraction
// x/360 - Int(x/360) rounds to 1 and the formula yields 360.0, which lies
// outside the range every caller relies on; that case is the same angle as 0.
double Reduce(double x) {
  const double q = x / 360;
  const double r = 360 * (q - Int(q));
  return r >= 360 ? 0.0 : r;
}

// Longitude of the sectional (half 0) or principal (half 1) term of a
// calendar month, degrees in [0, 360).
double SolarTermLongitude(int month, int half) {
  int v = 15 * (2 * month + 17 + half);
  if (v >= 360) v -= 360;
  return v;
}

}  // namespace torvela
