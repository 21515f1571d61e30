// Sexagenary indices, weekdays and month lengths. The remainders are taken
// cyclically (CyclicMod), so a dividend below zero still lands in the cycle;
// for the program's years and day numbers this is the plain remainder.
#include "calc/Module2.h"
#include "calc/Numeric.h"

namespace torvela {

// Day number (JD at 0 h less 0.5) to its sexagenary index; 2000-01-01 is 55.
int DayPillarIndex(std::int64_t dayNumber) { return CyclicMod(dayNumber - 9, 60); }

// Pillar year to its sexagenary index; 1984 is 1 (甲子).
int YearPillarIndex(std::int64_t pillarYear) { return CyclicMod(pillarYear + 57, 60); }

// Pillar year and solar month (1..12) to the month's sexagenary index. Month 1
// (January) closes the pillar year and takes the stem group of the next one.
int MonthPillarIndex(std::int64_t pillarYear, int solarMonth) {
  const std::int64_t y = solarMonth == 1 ? pillarYear + 1 : pillarYear;
  const std::int64_t base = ((y % 5 + 5) % 5 + 1) * 12 + 1;
  return CyclicMod(base + solarMonth, 60);
}

// Day number to weekday, 1 = Sunday .. 7 = Saturday.
int WeekdayIndex(std::int64_t dayNumber) { return CyclicMod(dayNumber + 3, 7); }

int StemOf(int sexagenaryIndex) { return CyclicMod(sexagenaryIndex, 10); }
int BranchOf(int sexagenaryIndex) { return CyclicMod(sexagenaryIndex, 12); }

// Gregorian month lengths, index 1..12.
std::array<int, 13> MonthLengths(std::int64_t year) {
  std::array<int, 13> days{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
  if (leap) days[2] = 29;
  return days;
}

void Module2::SetMonthDays(std::int64_t year) { MonthDays = MonthLengths(year); }

}  // namespace torvela
