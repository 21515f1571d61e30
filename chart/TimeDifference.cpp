#include "chart/TimeDifference.h"

#include <cmath>

namespace torvela::chart {

namespace {

// Splits in the precision of T, each step rounded to T as it goes.
template <class T>
DmsParts Split(T value) {
  const T degrees = std::floor(value);
  const T minutes = (value - degrees) * T(60);
  const T wholeMinutes = std::floor(minutes);
  const T seconds = (minutes - wholeMinutes) * T(60);
  const T wholeSeconds = std::floor(seconds);
  return {static_cast<long long>(degrees), static_cast<long long>(wholeMinutes),
          static_cast<long long>(wholeSeconds)};
}

}  // namespace

DmsParts SplitDms(double angle) { return Split<double>(angle); }

DmsParts SplitDms(float angle) { return Split<float>(angle); }

TimeDifferenceTexts DecideTimeDifference(double degrees, double minutes, double seconds) {
  const double longitude = degrees + minutes / 60.0 + seconds / 3600.0;
  const double diff = (longitude - 135.0) * 4.0;  // minutes of time, east positive
  const double wholeMinutes = std::trunc(diff);
  const double magnitude = std::fabs(diff);
  const double wholeSeconds = std::trunc((magnitude - std::trunc(magnitude)) * 60.0);

  TimeDifferenceTexts texts;
  // Without the sign, a point just west of the meridian would count as east.
  texts.minutes = (diff < 0 && wholeMinutes == 0)
                      ? std::string("-0")
                      : std::to_string(static_cast<long long>(wholeMinutes));
  texts.seconds = std::to_string(static_cast<long long>(wholeSeconds));
  return texts;
}

TimeDifferenceTexts TimeDifferenceAt(double longitude) {
  const DmsParts dms = SplitDms(longitude);
  return DecideTimeDifference(static_cast<double>(dms.degrees), static_cast<double>(dms.minutes),
                              static_cast<double>(dms.seconds));
}

}  // namespace torvela::chart
