#include "chart/JapanTime.h"

#include <cctz/civil_time.h>
#include <cctz/time_zone.h>

namespace torvela::chart {

namespace {

const cctz::time_zone& Tokyo() {
  static const cctz::time_zone zone = [] {
    cctz::time_zone tz;
    if (!cctz::load_time_zone("Asia/Tokyo", &tz)) tz = cctz::fixed_time_zone(std::chrono::hours(9));
    return tz;
  }();
  return zone;
}

}  // namespace

LocalTime JapanTimeAt(std::chrono::system_clock::time_point t) {
  const cctz::civil_minute m(cctz::convert(t, Tokyo()));
  return {static_cast<int>(m.year()), m.month(), m.day(), m.hour(), m.minute()};
}

LocalTime JapanNow() { return JapanTimeAt(std::chrono::system_clock::now()); }

}  // namespace torvela::chart
