#include "MapLogic.h"

#include <cmath>

#include "chart/TimeDifference.h"

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

std::optional<QPoint> MapPixelAt(double longitude, double latitude, const MapFrame& frame) {
  const double x = (longitude - frame.mapLonOrigin) / frame.mapDegPerPixel;
  const double y = (static_cast<double>(frame.mapLatOrigin) - latitude) / frame.mapDegPerPixel;
  if (!(x >= 0 && x < kMapSize && y >= 0 && y < kMapSize)) return std::nullopt;
  return QPoint(MapPixel(x), MapPixel(y));
}

namespace {

DmsTexts ToTexts(const chart::DmsParts& dms) {
  return {QString::number(dms.degrees), QString::number(dms.minutes), QString::number(dms.seconds)};
}

}  // namespace

DmsTexts LongitudeTexts(double longitude) { return ToTexts(chart::SplitDms(longitude)); }

DmsTexts LatitudeTexts(float latitude) { return ToTexts(chart::SplitDms(latitude)); }

TimeDifferenceTexts DecideTimeDifference(double degrees, double minutes, double seconds) {
  const chart::TimeDifferenceTexts texts = chart::DecideTimeDifference(degrees, minutes, seconds);
  return {QString::fromStdString(texts.minutes), QString::fromStdString(texts.seconds)};
}

}  // namespace torvela::ui
