#include "chart/TrueSolarTime.h"

#include <cstdint>

#include "calc/Module2.h"
#include "calc/Numeric.h"

namespace torvela::chart {

namespace {

int DaysInMonth(double year, double month) {
  return MonthLengths(static_cast<std::int64_t>(year))[static_cast<int>(month)];
}

}  // namespace

CalendarMoment ApplyCorrection(const CalendarMoment& clock, double c) {
  CalendarMoment m = clock;
  // The first carry is the plain sum, so that small corrections give exactly
  // minute + 60 + c or minute - 60 + c; larger ones carry again below.
  if (c < 0) {
    if (m.minute + c < 0) {
      m.minute = m.minute + 60 + c;
      m.hour -= 1;
    } else {
      m.minute = m.minute + c;
    }
  } else {
    if (m.minute + c >= 60) {
      m.minute = m.minute - 60 + c;
      m.hour += 1;
    } else {
      m.minute = m.minute + c;
    }
  }
  if (m.minute < 0 || m.minute >= 60) {
    const double hours = Int(m.minute / 60);
    m.minute -= 60 * hours;
    m.hour += hours;
    // Rounding can leave the remainder a hair outside [0, 60).
    if (m.minute < 0) {
      m.minute += 60;
      m.hour -= 1;
    }
    if (m.minute >= 60) {
      m.minute -= 60;
      m.hour += 1;
    }
  }
  const double days = Int(m.hour / 24);
  m.hour -= 24 * days;
  m.day += days;
  while (m.day <= 0) {
    m.month -= 1;
    if (m.month <= 0) {
      m.month = 12;
      m.year -= 1;
    }
    m.day += DaysInMonth(m.year, m.month);
  }
  while (m.day > DaysInMonth(m.year, m.month)) {
    m.day -= DaysInMonth(m.year, m.month);
    m.month += 1;
    if (m.month > 12) {
      m.month = 1;
      m.year += 1;
    }
  }
  return m;
}

double LightTimeCorrection(double sunDistance, double year) {
  return sunDistance * 1495.9787 / 2.99792458 / 3600 / 24 + (year - 1885) * 1.05337078651e-05;
}

ApparentSun ApparentSunAt(const Tables& tables, const CalendarMoment& solar, double lightTimeYear) {
  const double dayFraction = solar.hour / 24 + solar.minute / 1440;
  double t = solar.day + dayFraction - 0.375;
  const SunState first = SunPosition(tables, solar.year, solar.month, t);
  ApparentSun a;
  a.lightTimeDays = LightTimeCorrection(first.SunDistance, lightTimeYear);
  t = t - a.lightTimeDays;
  a.longitude = SunPosition(tables, solar.year, solar.month, t).SunLongitude;
  return a;
}

}  // namespace torvela::chart
