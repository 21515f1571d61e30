// The sectional terms (節) as the chart sees them: the true-solar minute at
// which the chart's own month decision moves to the month a term opens.
#pragma once

#include <cstdint>
#include <string_view>

#include "calc/Module2.h"
#include "chart/Chart.h"
#include "chart/Pillars.h"
#include "chart/TrueSolarTime.h"

namespace torvela::chart {

// Name of the sectional term that opens solar month 1..12 (1 小寒, 2 立春,
// 3 啓蟄 .. 12 大雪); "" for any other number.
std::string_view SectionalTermName(int solarMonthNumber);

// Minutes from 1970-01-01 00:00 (proleptic Gregorian) of a whole-minute
// reading, and the reading of such a count.
std::int64_t MinuteNumber(const LocalTime& reading);
LocalTime ReadingOfMinute(std::int64_t minuteNumber);
// The same count for a reading whose minute carries a fraction.
double MinuteNumber(const CalendarMoment& reading);

// The chart's month decision at a true-solar reading: ApparentSunAt, then
// FindSolarMonth with the reading's calendar year and month.
SolarMonth MonthAt(const Tables& tables, const CalendarMoment& solar, double lightTimeYear);

// One sectional term: at trueSolar the month decision gives `after` (month
// `opens`), one minute earlier `before`.
struct TermInstant {
  int opens = 0;            // solar month 1..12 the term opens; 0: not found
  std::int64_t minute = 0;  // MinuteNumber(trueSolar)
  LocalTime trueSolar;
  SolarMonth before, after;
};

struct TermPair {
  TermInstant previous;  // opens the chart's solar month
  TermInstant next;      // opens the month after
};

// The sectional terms on either side of a chart's true-solar reading, with
// the month decision the chart used (lightTimeYear: the entered year). The
// sun's mean motion and a short analytic model give a first guess, one
// evaluation of the sun with the light time held fixed corrects it to a
// second or so, and the minute is then confirmed with the exact decision at
// it and one minute before (two sun positions each).
TermPair FindTerms(const Tables& tables, const ChartResult& chart, double lightTimeYear);

}  // namespace torvela::chart
