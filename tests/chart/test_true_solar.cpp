// Clock time to true solar time: the carries, exactness for small
// corrections, and validity for large ones.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>

#include "calc/Module2.h"
#include "chart/TrueSolarTime.h"

namespace torvela::chart {
namespace {

TEST(ApplyCorrection, CarriesAcrossCalendarBoundaries) {
  const std::tuple<CalendarMoment, double, CalendarMoment> cases[] = {  // (clock, minutes, solar)
      {{1980, 3, 1, 0, 10}, -30, {1980, 2, 29, 23, 40}},  // leap February
      {{1981, 3, 1, 0, 10}, -30, {1981, 2, 28, 23, 40}},
      {{1900, 3, 1, 0, 10}, -30, {1900, 2, 28, 23, 40}},  // 1900 is no leap year
      {{2000, 1, 1, 0, 5}, -20, {1999, 12, 31, 23, 45}},
      {{1999, 12, 31, 23, 50}, 15, {2000, 1, 1, 0, 5}},
      {{2000, 2, 28, 23, 50}, 15, {2000, 2, 29, 0, 5}},
      {{2000, 6, 15, 10, 0}, 0, {2000, 6, 15, 10, 0}},
      // An hour or more: carried as often as needed.
      {{2026, 2, 1, 0, 10}, -62, {2026, 1, 31, 23, 8}},
      {{2026, 2, 1, 0, 10}, -130, {2026, 1, 31, 22, 0}},
      {{2000, 12, 31, 23, 59}, 70, {2001, 1, 1, 1, 9}},
      {{2000, 5, 10, 12, 0}, -1440 * 2, {2000, 5, 8, 12, 0}},
  };
  for (const auto& [clock, correction, solar] : cases) {
    const CalendarMoment s = ApplyCorrection(clock, correction);
    EXPECT_EQ((std::array{s.year, s.month, s.day, s.hour}),
              (std::array{solar.year, solar.month, solar.day, solar.hour})) << correction;
    EXPECT_NEAR(s.minute, solar.minute, 1e-9) << correction;
  }
}

// Day number of a Gregorian date, to compare moments across carries.
double Days(const CalendarMoment& m) {
  return JulianDay(m.year, m.month, m.day) + m.hour / 24 + m.minute / 1440;
}

TEST(ApplyCorrection, ValidMomentForCorrectionsUpToAnHourAndMore) {
  // Sampled so that month ends, leap days and year ends are all visited.
  const double corrections[] = {
      -65, -64.99, -60, -59.999, -48.5, -30.25, -0.01, 0, 0.01, 14.3, 59.999, 60, 61.5, 65};
  for (std::int64_t year = 1800; year <= 2081; year += 7)
    for (int month = 1; month <= 12; ++month)
      for (int day : {1, MonthLengths(year)[month]})
        for (double hour : {0.0, 23.0})
          for (double minute : {0.0, 59.0})
            for (double c : corrections) {
              const CalendarMoment clock{double(year), double(month), double(day), hour, minute};
              const CalendarMoment s = ApplyCorrection(clock, c);
              const int days = MonthLengths(static_cast<std::int64_t>(s.year))[int(s.month)];
              ASSERT_TRUE(s.minute >= 0 && s.minute < 60 && s.hour >= 0 && s.hour <= 23 &&
                          s.month >= 1 && s.month <= 12 && s.day >= 1 && s.day <= days)
                  << year << "-" << month << "-" << day << " " << hour << ":" << minute << " " << c;
              // The same moment, shifted by exactly the correction.
              ASSERT_NEAR(Days(s) - Days(clock), c / 1440, 1e-8);
              // Under an hour, one carry per unit: the minute is the plain sum, bit for bit.
              const double sum = minute + c;
              const double plain = sum < 0 ? minute + 60 + c : sum >= 60 ? minute - 60 + c : sum;
              if (std::fabs(c) < 60) { ASSERT_EQ(s.minute, plain); }
            }
}

TEST(LightTimeCorrection, AboutEightMinutesPlusDrift) {
  EXPECT_NEAR(LightTimeCorrection(1.0, 1885) * 86400, 499.0, 0.01);
  EXPECT_NEAR(LightTimeCorrection(1.0, 1985) - LightTimeCorrection(1.0, 1885),
              100 * 1.05337078651e-05, 1e-15);
}

}  // namespace
}  // namespace torvela::chart
