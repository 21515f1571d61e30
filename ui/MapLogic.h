// Pointer position on the map of Japan -> longitude, latitude and the time
// difference from the 135°E meridian. No widgets, so every rule is testable.
#pragma once

#include <QPoint>
#include <QString>
#include <optional>

namespace torvela::ui {

// The map picture is kMapSize x kMapSize logical pixels; pixel i's centre is
// coordinate i, with the origin at the top left.
inline constexpr int kMapSize = 500;

// Linear frame of the map picture. Longitude is worked in double, latitude in
// single precision: the shown latitude seconds depend on it.
struct MapFrame {
  double mapLonOrigin = 121.39834;    // degrees east at x = 0
  double mapDegPerPixel = 0.0514679;  // degrees per pixel, both axes
  float mapDegPerPixelSingle = 0.0514679f;
  float mapLatOrigin = 49.00194f;  // degrees north at y = 0
};

// x of the 135°E meridian in picture coordinates (about 264.275).
double MeridianX(const MapFrame& frame = {});

// Pixel under a logical pointer coordinate: the floor, never rounded, since
// rounding would bias every longitude by half a pixel (about 6 s of time).
int MapPixel(double coordinate);

// Longitude (degrees east, double) at picture x.
double MapLongitude(float x, const MapFrame& frame = {});
// Latitude (degrees north, single) at picture y.
float MapLatitude(float y, const MapFrame& frame = {});

// The picture pixel that holds a point given in degrees (east, north): the
// inverse of MapLongitude and MapLatitude, floored as the pointer's pixel is.
// None for a point off the picture.
std::optional<QPoint> MapPixelAt(double longitude, double latitude, const MapFrame& frame = {});

// Degree, minute and second label texts: floor of the degrees, then of the
// minutes and seconds of the remainder; seconds are truncated, not rounded
// (chart::SplitDms).
struct DmsTexts {
  QString degrees, minutes, seconds;
};
DmsTexts LongitudeTexts(double longitude);
DmsTexts LatitudeTexts(float latitude);

// The two time-difference texts for a longitude given as shown (whole degrees,
// minutes, seconds east): chart::DecideTimeDifference, the rule the gazetteer
// shares. Minutes truncated toward zero and signed, seconds 0..59 unsigned; a
// place less than one minute west of 135°E gets "-0".
struct TimeDifferenceTexts {
  QString minutes, seconds;
};
TimeDifferenceTexts DecideTimeDifference(double degrees, double minutes, double seconds);

}  // namespace torvela::ui
