// One Four Pillars chart: the birth as entered -> every value the chart shows.
// No Qt. "Now" is always a parameter so that results are reproducible.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/Module2.h"

namespace torvela::chart {

// A moment of local (Japan Standard) time to the minute.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// What an entered clock reading is a reading of.
enum class ClockBasis {
  Jst,        // Japan Standard Time: the time difference and the equation of time are added
  LocalMean,  // the birthplace's local mean time: only the equation of time is added
  TrueSolar,  // true solar time already: nothing is added
};

// What the display button reads from the main window.
struct ChartInput {
  double year = 0, month = 0, day = 0;  // JST calendar date, whole values
  double hour = 0;                      // 0..23 (0 when unknown)
  double minute = 0;                    // 0..59 (0 when unknown)
  bool hourUnknown = false;             // hour list shows "?"
  bool minuteUnknown = false;           // minute list shows "?"
  bool male = false, female = false;    // sex option buttons
  // Time difference of the birthplace from 135°E as read by LeadingNumber
  // from the two texts. A minutes text of "-0" reads as -0.0 and means west.
  double diffMinutes = 0;
  double diffSeconds = 0;
  // Whole minutes that take the entered clock reading to the standard clock
  // of its basis (-60 for a summer-time reading). The entered date stays the
  // date of the age and the weekday; the astronomy uses the shifted moment.
  double clockShiftMinutes = 0;
  ClockBasis clockBasis = ClockBasis::Jst;
};

// Reads the birth from the texts the inputs show (list texts such as "?" or
// "14", the time-difference texts exactly as typed).
ChartInput InputFromTexts(double year, double month, double day, std::string_view hourText,
                          std::string_view minuteText, bool male, std::string_view jisahun,
                          std::string_view jisabyo);

// The input with every value brought into the range the inputs can offer
// (month 13, an hour of 30 or a time difference beyond a day can not be
// computed with); ComputeChart applies it first.
ChartInput SanitisedInput(ChartInput input);

// Everything one computation yields. Field names follow the design.
struct ChartResult {
  double birthDateJD = 0;
  double clockDayFraction = 0;
  double timeDiffDays = 0;
  double localBirthJD = 0;
  double nowJD = 0;
  double birthdayThisYearJD = 0;
  std::string ageText;
  int weekday = 0;
  double eotMinutes = 0;
  std::string eotMinutesText, eotSecondsText;
  double correctionMinutes = 0;
  double solarYear = 0, solarMonth = 0, solarDay = 0, solarHour = 0;
  double solarMinute = 0;
  double solarDayFraction = 0;
  double lightTimeDays = 0;
  double sunLongitude = 0;
  int solarMonthNumber = 0;
  double pillarYear = 0;
  int yearParity = 0;
  int yearStem = 0, yearBranch = 0, monthStem = 0, monthBranch = 0;
  int dayStem = 0, dayBranch = 0, hourStem = 0, hourBranch = 0;
  std::string seasonElement;
  bool hourUnknown = false;
  bool forward = false;
  double startAge = 0;
  int startYears = 0, startMonths = 0, startDays = 0;
  std::array<int, 11> luckStems{}, luckBranches{};
  std::array<int, 10> fromAges{};
  std::array<int, 11> toAges{};
  int changeYearStem = 0, changeMonthBranch = 0;
  int currentColumn = -1;
};

// Runs the whole computation from the loaded tables, which it only reads,
// on SanitisedInput(input).
ChartResult ComputeChart(const ChartInput& input, const Tables& tables, const LocalTime& now);

// The first step of ComputeChart on an input already sanitised: the clock
// reading to true solar time. Fills birthDateJD, clockDayFraction,
// timeDiffDays, localBirthJD, the equation of time, correctionMinutes and
// the solar date and time (solarYear .. solarDayFraction) of r.
void TrueSolarStep(const ChartInput& sanitised, ChartResult& r);

// The texts of every chart control, keyed by the controls' names.
struct ChartTexts {
  std::string txtAge, txtweek, txtKinjisa, txtShin, txtKoukei;
  std::string yKan, yShi, mKan, mShi, dKan, dShi, hKan, hShi;
  std::string txtKoutai, txtKoutaiYM, lblOu;
  std::array<std::string, 11> dun_kan, dun_shi;
  std::array<std::string, 10> sai1;
  std::array<std::string, 11> sai2;
  int bold = -1;  // great-luck column shown bold, -1 for none

  // (object name, text) for every control, arrays as "dun_kan_0" .. "sai2_10".
  std::vector<std::pair<std::string, std::string>> Items() const;

  bool operator==(const ChartTexts&) const = default;
};

ChartTexts MakeChartTexts(const ChartResult& result, const Tables& tables);

}  // namespace torvela::chart
