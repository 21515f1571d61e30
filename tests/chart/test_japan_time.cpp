// "Now" is Japan's clock wherever the computer is: a moment reads the same
// under any local time zone, across day, year and leap-day changes and a
// summer-time change abroad, and the present age follows Japan's date.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "chart/BirthMoment.h"
#include "chart/JapanTime.h"
#include "tests/chart/ChartTestSupport.h"

namespace torvela::chart {
namespace {

using namespace std::chrono;

TEST(JapanTime, SameReadingAndAgeUnderAnyLocalZone) {
  const std::pair<sys_seconds, const char*> rows[] = {
      {sys_days{2026y / May / 4} + 15h + 30min + 45s, "2026-05-05T00:30"},  // Japan's day already next
      {sys_days{2026y / December / 31} + 15h, "2027-01-01T00:00"},
      {sys_days{2024y / February / 28} + 15h, "2024-02-29T00:00"},
      {sys_days{2026y / March / 8} + 10h + 30min, "2026-03-08T19:30"},  // summer time starts in Los Angeles
      {sys_days{1970y / January / 1}, "1970-01-01T09:00"},
      {sys_days{2038y / January / 19} + 3h + 14min + 8s, "2038-01-19T12:14"}};
  const char* saved = std::getenv("TZ");
  const std::string savedZone = saved ? saved : "";
  for (const char* zone : {"America/Los_Angeles", "Asia/Tokyo", "UTC", "Europe/London"}) {
    ::setenv("TZ", zone, 1);  // as a user's TZ does
    ::tzset();
    for (const auto& [moment, japan] : rows)
      EXPECT_EQ(IsoMinuteText(JapanTimeAt(system_clock::time_point(moment))), japan) << zone;
    // 00:30 in Japan on the birthday is 08:30 the day before in Los Angeles:
    // the birthday has come in Japan, so the age is already the new one.
    const ChartInput in{.year = 1985, .month = 5, .day = 5, .hour = 0, .minute = 10, .male = true};
    const LocalTime now = JapanTimeAt(system_clock::time_point(rows[0].first));
    EXPECT_EQ(ComputeChart(in, test::ShippedTables(), now).ageText, "41") << zone;
  }
  saved ? ::setenv("TZ", savedZone.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace torvela::chart
