// Clock time to true solar time, and the light-time shift of the sun.
#pragma once

#include "calc/Module2.h"

namespace torvela::chart {

// A calendar moment as working values: whole year, month, day and hour, the
// minute with a fraction.
struct CalendarMoment {
  double year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Shifts a valid moment by correctionMinutes (any finite size) and carries
// or borrows through minute, hour, day, month and year with the Gregorian
// month lengths of the year being carried in. The result has the minute in
// [0, 60), the hour in 0..23 and a valid date. A correction under 60 minutes
// in magnitude takes exactly one carry per unit, so its minute is the plain
// sum (minute + 60 + correction on a borrow, minute - 60 + correction on a
// carry).
CalendarMoment ApplyCorrection(const CalendarMoment& clock, double correctionMinutes);

// Light time of the sun in days: distance (AU) times the light time of one
// AU, plus an empirical drift of 1.05337078651e-05 day a year counted from
// 1885; year is the entered calendar year.
double LightTimeCorrection(double sunDistance, double year);

struct ApparentSun {
  double lightTimeDays = 0;  // LightTimeCorrection at the reading
  double longitude = 0;      // degrees, [0, 360)
};

// The sun's apparent longitude for a true-solar reading (minute with a
// fraction) as the chart takes it: the reading placed at universal time as
// if it were JST (less 0.375 day), then moved back by the light time of the
// sun's distance there. lightTimeYear is the entered calendar year.
ApparentSun ApparentSunAt(const Tables& tables, const CalendarMoment& solar, double lightTimeYear);

}  // namespace torvela::chart
