// Longitude to the time difference from 135°E, as the birthplace map and the
// gazetteer both enter it into the minutes and seconds boxes.
#pragma once

#include <string>

namespace torvela::chart {

// Whole degrees, minutes and seconds of an angle: floor of the degrees, then
// floor of the minutes and seconds of the remainder (seconds truncated, never
// rounded), each step in the precision of the argument.
struct DmsParts {
  long long degrees = 0, minutes = 0, seconds = 0;
};
DmsParts SplitDms(double angle);
DmsParts SplitDms(float angle);

// The two time-difference texts for a longitude given as shown (whole degrees,
// minutes, seconds east): minutes of time truncated toward zero and signed,
// seconds 0..59 unsigned. A place less than one minute west of 135°E gets "-0"
// so the chart still reads it as west.
struct TimeDifferenceTexts {
  std::string minutes, seconds;
};
TimeDifferenceTexts DecideTimeDifference(double degrees, double minutes, double seconds);

// The same for a longitude in degrees east: SplitDms, then DecideTimeDifference,
// exactly as a click on the map at that longitude.
TimeDifferenceTexts TimeDifferenceAt(double longitude);

}  // namespace torvela::chart
