// "Now" is Japan's clock wherever the computer is: a moment reads the same
// under any local time zone, across day, year and leap-day changes and a
// summer-time change abroad, and the present age follows Japan's date.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "calc/Module2.h"
#include "chart/JapanTime.h"

namespace torvela::chart {
namespace {

using namespace std::chrono;

// Sets the process's local time zone, as a user's TZ does.
void SetLocalZone(const char* zone) {
  ::setenv("TZ", zone, 1);
  ::tzset();
}

struct Row {
  sys_seconds moment;
  LocalTime japan;
};

const Row kRows[] = {
    {sys_days{2026y / May / 4} + 15h + 30min + 45s, {2026, 5, 5, 0, 30}},  // Japan's day already next
    {sys_days{2026y / December / 31} + 15h, {2027, 1, 1, 0, 0}},
    {sys_days{2024y / February / 28} + 15h, {2024, 2, 29, 0, 0}},
    {sys_days{2026y / March / 8} + 10h + 30min, {2026, 3, 8, 19, 30}},  // summer time starts in Los Angeles
    {sys_days{1970y / January / 1}, {1970, 1, 1, 9, 0}},
    {sys_days{2038y / January / 19} + 3h + 14min + 8s, {2038, 1, 19, 12, 14}}};

class JapanTimeTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) saved_ = tz, hadZone_ = true;
    SetLocalZone(GetParam());
  }
  void TearDown() override {
    if (hadZone_) {
      SetLocalZone(saved_.c_str());
    } else {
      ::unsetenv("TZ");
      ::tzset();
    }
  }
  std::string saved_;
  bool hadZone_ = false;
};

TEST_P(JapanTimeTest, SameReadingUnderAnyLocalZone) {
  for (const Row& r : kRows) {
    const LocalTime t = JapanTimeAt(system_clock::time_point(r.moment));
    EXPECT_EQ((std::array{t.year, t.month, t.day, t.hour, t.minute}),
              (std::array{r.japan.year, r.japan.month, r.japan.day, r.japan.hour, r.japan.minute}))
        << GetParam() << " " << r.moment.time_since_epoch().count();
  }
}

// 00:30 in Japan on the birthday is 08:30 the day before in Los Angeles: the
// birthday has come in Japan, so the age is already the new one.
TEST_P(JapanTimeTest, AgeTurnsWithJapansDate) {
  const Tables tables = LoadTables(TORVELA_TEST_DATA_DIR);
  ChartInput in;
  in.year = 1985, in.month = 5, in.day = 5, in.hour = 0, in.minute = 10, in.male = true;
  const auto now = JapanTimeAt(system_clock::time_point(kRows[0].moment));
  EXPECT_EQ(ComputeChart(in, tables, now).ageText, "41");
}

INSTANTIATE_TEST_SUITE_P(Zones, JapanTimeTest,
                         ::testing::Values("America/Los_Angeles", "Asia/Tokyo", "UTC", "Europe/London"));

}  // namespace
}  // namespace torvela::chart
