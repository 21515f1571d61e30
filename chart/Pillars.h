// The solar month, the pillar year and the four pillars of a true-solar
// moment of birth, and the element in season.
#pragma once

#include <string>

namespace torvela::chart {

struct SolarMonth {
  int number = 0;         // solar month 1..12 (1 opens at 285 deg, 2 at 315 deg)
  double pillarYear = 0;  // year whose 315 deg term last preceded the moment
};

// Solar month and pillar year from the sun's apparent longitude L (degrees,
// [0, 360)) and the true-solar calendar year and month. The calendar month
// only settles the longitudes 255..315 deg, where the year boundary lies.
// Combinations no real date produces (L in 255..315 deg outside December,
// January and February, or 285..315 deg in December) take the month from L
// alone, in the pillar year solarYear: from March on, that year's 315 deg
// term has passed.
SolarMonth FindSolarMonth(double L, double solarYear, double solarMonth);

// Sexagenary indices 1..60 of the four pillars; hour 0 when unknown.
struct PillarIndices {
  int year = 0, month = 0, day = 0, hour = 0;
  friend bool operator==(const PillarIndices&, const PillarIndices&) = default;
};

// The four pillars of a solar month and a true-solar date and hour (whole
// values).
PillarIndices PillarsOf(const SolarMonth& month, double solarYear, double solarMonth,
                        double solarDay, double solarHour, bool hourUnknown);

// Sexagenary index 1..60 of the hour pillar from the day stem 1..10 and the
// true-solar hour 0..23. 23 h takes the 子 hour of the next day's stem group.
int HourPillarIndex(int dayStem, double solarHour);

// Sexagenary index 1..60 of the day pillar of a Gregorian date (whole values).
int DayPillarOfDate(double year, double month, double day);

// Element in season ("木", "火", "土", "金", "水") from the solar month 1..12
// and L (degrees); the 18 degrees before each season's first term are 土.
std::string SeasonElement(int solarMonthNumber, double L);

}  // namespace torvela::chart
