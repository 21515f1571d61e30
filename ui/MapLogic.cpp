#include "MapLogic.h"

#include <cmath>

namespace torvela::ui {

double MeridianX(const MapFrame& frame) {
  return (135.0 - frame.mapLonOrigin) / frame.mapDegPerPixel;
}

int MapPixel(double coordinate) { return static_cast<int>(std::floor(coordinate)); }

double MapLongitude(float x, const MapFrame& frame) {
  return frame.mapLonOrigin + frame.mapDegPerPixel * static_cast<double>(x);
}

float MapLatitude(float y, const MapFrame& frame) {
  const float offset = frame.mapDegPerPixelSingle * y;
  return frame.mapLatOrigin - offset;
}

namespace {

// Splits in the precision of T, each step rounded to T as it goes.
template <class T>
DmsTexts SplitDms(T value) {
  const T degrees = std::floor(value);
  const T minutes = (value - degrees) * T(60);
  const T wholeMinutes = std::floor(minutes);
  const T seconds = (minutes - wholeMinutes) * T(60);
  const T wholeSeconds = std::floor(seconds);
  return {QString::number(static_cast<long long>(degrees)),
          QString::number(static_cast<long long>(wholeMinutes)),
          QString::number(static_cast<long long>(wholeSeconds))};
}

}  // namespace

DmsTexts LongitudeTexts(double longitude) { return SplitDms<double>(longitude); }

DmsTexts LatitudeTexts(float latitude) { return SplitDms<float>(latitude); }

TimeDifferenceTexts DecideTimeDifference(double degrees, double minutes, double seconds) {
  const double longitude = degrees + minutes / 60.0 + seconds / 3600.0;
  const double diff = (longitude - 135.0) * 4.0;  // minutes of time, east positive
  const double wholeMinutes = std::trunc(diff);
  const double magnitude = std::fabs(diff);
  const double wholeSeconds = std::trunc((magnitude - std::trunc(magnitude)) * 60.0);

  TimeDifferenceTexts texts;
  // Without the sign, a point just west of the meridian would count as east.
  texts.minutes = (diff < 0 && wholeMinutes == 0)
                      ? QStringLiteral("-0")
                      : QString::number(static_cast<long long>(wholeMinutes));
  texts.seconds = QString::number(static_cast<long long>(wholeSeconds));
  return texts;
}

}  // namespace torvela::ui
