// Equation of time from the classical five-term series in the sun's mean
// longitude, mean anomaly, the eccentricity and the obliquity.
#include <charconv>
#include <cmath>

#include "calc/Module2.h"
#include "calc/Numeric.h"

namespace torvela {
namespace {

// L - 360 floor(L/360); a result that rounds up to 360 is the angle 0.
double ReduceFloor(double L) {
  const double r = L - 360 * std::floor(L / 360);
  return r >= 360 ? 0.0 : r;
}

}  // namespace

// T: Julian centuries from JD 2415020.0. Returns the obliquity, degrees.
double EotObliquity(double T) {
  return 23.452294 - 0.0130125 * T - 1.64e-6 * (T * T) + 5.03e-7 * (T * T * T);
}

// T: Julian centuries. Returns the sun's mean longitude, degrees in [0, 360).
double EotMeanLongitude(double T) {
  return ReduceFloor(279.696678 + 36000.768925 * T + 3.025e-4 * (T * T));
}

// T: Julian centuries. Returns the longitude of perigee, degrees in [0, 360).
double EotPerigeeLongitude(double T) {
  return ReduceFloor(281.2206 + 1.717697 * T + 4.83333e-4 * (T * T) +
                     2.77777e-6 * (T * T * T));
}

// T: Julian centuries. Returns the eccentricity of the earth's orbit.
double EotEccentricity(double T) { return 0.0167498 - 4.258e-5 * T - 1.37e-7 * (T * T); }

// eps, L, M: obliquity, mean longitude, mean anomaly (degrees); e: eccentricity.
// Returns the equation of time in radians (true minus mean solar time).
double EotSeries(double eps, double L, double M, double e) {
  const double t = std::tan(eps * EotPi / 360);
  const double y = t * t;
  const double L2 = L * EotPi / 90;
  const double Mr = M * EotPi / 180;
  const double L4 = L * EotPi / 45;
  const double M2 = M * EotPi / 90;
  return y * std::sin(L2) - 2 * e * std::sin(Mr) + 4 * e * y * std::sin(Mr) * std::cos(L2) -
         0.5 * y * y * std::sin(L4) - 1.25 * e * e * std::sin(M2);
}

// Date in UT with the time of day as a fraction of the day. Returns the
// equation of time in minutes with its sign-and-minutes and seconds texts.
EquationOfTime ComputeEquationOfTime(double year, double month, double day) {
  const double jd = JulianDay(year, month, day);
  const double T = JulianCenturies(jd);
  const double eps = EotObliquity(T);
  const double L = EotMeanLongitude(T);
  const double perigee = EotPerigeeLongitude(T);
  const double e = EotEccentricity(T);
  const double M = L - perigee;
  const double E = EotSeries(eps, L, M, e);

  return EquationOfTimeFromMinutes(E * 4 * 180 / EotPi);
}

// minutes: equation of time in minutes. Returns it with its two texts.
EquationOfTime EquationOfTimeFromMinutes(double minutes) {
  EquationOfTime out;
  out.EotMinutes = minutes;
  const double magnitude = std::fabs(minutes);
  const double whole = Fix(magnitude);
  // Finite by construction for real dates; the guard keeps the text sane.
  const std::int64_t wholeInt =
      std::isfinite(whole) && whole < 9.0e18 ? static_cast<std::int64_t>(whole) : 0;
  // Sign and whole minutes written into one buffer: g++ 12 warns falsely
  // (-Wrestrict) on joining a one-letter string to another.
  char text[24] = {minutes >= 0 ? '+' : '-'};
  const auto written = std::to_chars(text + 1, text + sizeof text, wholeInt);
  out.EotMinutesText.assign(text, written.ptr);
  out.EotSecondsText = OneDecimalText((magnitude - whole) * 60);
  return out;
}

}  // namespace torvela
