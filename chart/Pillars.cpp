#include "chart/Pillars.h"

#include <cstdint>

#include "calc/Module2.h"
#include "calc/Numeric.h"

namespace torvela::chart {

SolarMonth FindSolarMonth(double L, double solarYear, double solarMonth) {
  // The rules are tried in order and a later match overrides an earlier one:
  // January and February take precedence over the longitude bands.
  SolarMonth r{0, solarYear};
  bool matched = false;
  auto set = [&](int n, double py) {
    r = {n, py};
    matched = true;
  };
  if (L >= 315 && L < 345) set(2, solarYear);
  if ((L >= 345 && L < 360) || (L >= 0 && L < 15)) set(3, solarYear);
  // Months 4..11 open every 30 degrees from 15.
  for (int n = 4; n <= 11; ++n) {
    const double start = 15.0 + 30.0 * (n - 4);
    if (L >= start && L < start + 30) set(n, solarYear);
  }
  if (L >= 255 && L < 285 && solarMonth == 12) set(12, solarYear);
  if (L < 315 && solarMonth == 2) set(1, solarYear - 1);
  if (L >= 285 && L < 315 && solarMonth == 1) {
    set(1, solarYear - 1);
  } else if (L < 285 && solarMonth == 1) {
    set(12, solarYear - 1);
  }
  if (!matched) set(L < 285 ? 12 : 1, solarYear);
  return r;
}

PillarIndices PillarsOf(const SolarMonth& month, double solarYear, double solarMonth,
                        double solarDay, double solarHour, bool hourUnknown) {
  PillarIndices p;
  const auto pillarYear = static_cast<std::int64_t>(month.pillarYear);
  p.year = YearPillarIndex(pillarYear);
  p.month = MonthPillarIndex(pillarYear, month.number);
  p.day = DayPillarOfDate(solarYear, solarMonth, solarDay);
  if (!hourUnknown) p.hour = HourPillarIndex(StemOf(p.day), solarHour);
  return p;
}

int HourPillarIndex(int dayStem, double solarHour) {
  const int k = static_cast<int>(Fix((solarHour + 1) / 2));
  // Each pair of day stems five apart shares one row of hour pillars.
  const int group = CyclicMod(dayStem, 5) - 1;  // 甲己 0, 乙庚 1, 丙辛 2, 丁壬 3, 戊癸 4
  int index = k + 1 + 12 * group;
  if (index > 60) index = 1;  // only 戊/癸 at 23 h: 61 is 甲子
  return index;
}

int DayPillarOfDate(double year, double month, double day) {
  // JulianDay of a whole date ends in .5; its integer part is the day number.
  // Reducing by multiples of 60 days first would not change the index.
  const double jd = JulianDay(year, month, day);
  return DayPillarIndex(static_cast<std::int64_t>(Fix(jd)));
}

std::string SeasonElement(int solarMonthNumber, double L) {
  switch (solarMonthNumber) {
    case 2: case 3: return "木";
    case 4: return L < 27 ? "木" : "土";
    case 5: case 6: return "火";
    case 7: return L < 117 ? "火" : "土";
    case 8: case 9: return "金";
    case 10: return L < 207 ? "金" : "土";
    case 11: case 12: return "水";
    case 1: return L < 297 ? "水" : "土";
    default: return "";
  }
}

}  // namespace torvela::chart
