// The birthplace as the windows use it: the gazetteer read at start-up, or
// why it could not be read; the point a chosen place stands for; and whether
// the time-difference boxes still hold the place's time difference.
#pragma once

#include <QString>
#include <filesystem>
#include <memory>

#include "place/Gazetteer.h"

namespace torvela::ui {

// The gazetteer of dataDir, or an empty one with the reader's message
// (naming the file, line and field) when the file is missing or bad. Unlike
// the astronomical tables it is not needed to start: the program runs on
// without the search. A file read once is kept for the rest of the run
// (while its size and time stay the same), so a window made again does not
// read it again.
struct LoadedGazetteer {
  std::shared_ptr<const place::Gazetteer> gazetteer;  // never null
  QString error;  // empty when loaded
};
LoadedGazetteer LoadGazetteer(const std::filesystem::path& dataDir);

// "東経139度45分11秒": the place's longitude, from which its time difference
// comes, in the map's words and truncated to whole seconds as its labels
// are; with withLatitude also " 北緯35度41分37秒".
QString PlacePointText(const place::Place& place, bool withLatitude = false);

// Whether the two time-difference texts are those the place writes.
bool HoldsTimeDifferenceOf(const place::Place& place, const QString& minutes, const QString& seconds);

// The birthplace box's tooltip: how to search, or why the search is off.
QString PlaceBoxTip(const QString& error = {});

}  // namespace torvela::ui
