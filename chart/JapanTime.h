// The present moment as the clocks in Japan read it, wherever the computer
// is: the chart's "now" is Japan Standard Time, not the machine's local time.
#pragma once

#include <chrono>

#include "chart/Chart.h"

namespace torvela::chart {

// Japan's clock reading (Asia/Tokyo from the tz database) of moment t, to the
// minute, seconds dropped. Without the tz database Japan's +9:00 is taken,
// which has held for every present moment since 1951.
LocalTime JapanTimeAt(std::chrono::system_clock::time_point t);

// JapanTimeAt of the system clock's present moment.
LocalTime JapanNow();

}  // namespace torvela::chart
