// The moment behind an entered birth: the clock reading taken to the clock
// the chart computes with (summer time 1948-1951 from the system's
// time-zone database, readings before standard time), the sectional terms
// on either side, the clock times within a margin at which a pillar would
// change, and the notices a reader of the chart needs. No Qt; settings and
// "now" are parameters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/Module2.h"
#include "chart/Chart.h"

namespace torvela::chart {

enum class DstMode { Auto, Off };                     // summer time corrected or not
enum class Before1888 { Jst, LocalMean, TrueSolar };  // how a reading before 1888 is taken

struct MomentSettings {
  DstMode dst = DstMode::Auto;
  Before1888 before1888 = Before1888::Jst;
  int marginMinutes = 30;  // 10, 30 or 60; 0 turns the boundary search off
};

// The settings as the command line and the batch spell them: "auto" /
// "off", "jst" / "lmt" / "solar", "10" / "30" / "60". Anything else: empty.
std::optional<DstMode> ParseDstMode(std::string_view text);
std::optional<Before1888> ParseBefore1888(std::string_view text);
std::optional<int> ParseMargin(std::string_view text);
bool IsMarginAllowed(int minutes);
std::string_view DstModeName(DstMode mode);
std::string_view Before1888Name(Before1888 mode);

enum class ClockKind {
  Standard,        // an ordinary Japan Standard Time reading
  Summer,          // the clocks ran at UTC+10
  Skipped,         // the hour the clocks jumped over when summer time began
  Repeated,        // the hour shown twice when summer time ended
  NoStandardTime,  // before 1888-01-01
};

// How one clock reading is taken.
struct ClockReading {
  ClockKind kind = ClockKind::Standard;
  int shiftMinutes = 0;  // added to the reading for the standard clock: -60 or 0
  ClockBasis basis = ClockBasis::Jst;
  // Skipped, Repeated: the first and last clock minute of that hour.
  LocalTime hourFirst, hourLast;
  bool zoneMissing = false;  // the zone could not be read; taken as JST
};

// Classifies a clock reading (a valid date and time to the minute). Summer
// time comes from zone Asia/Tokyo of the system's time-zone database. With
// dst Off a summer reading keeps its kind but is not shifted. A skipped
// reading is taken as JST; a repeated one as its first occurrence, summer
// time.
ClockReading ReadClock(const LocalTime& clock, const MomentSettings& settings);

// The input of `entered` moved to one clock minute (a MinuteNumber) near
// the birth, read as ComputeBirth reads a known reading: hour and minute
// known, the clock shift and basis ReadClock gives for that minute. The
// boundary search computes the chart of every minute it visits from it.
ChartInput InputAtClockMinute(const ChartInput& entered, std::int64_t clockMinute,
                              const MomentSettings& settings);

// A sectional term next to the birth, as a true-solar reading.
struct TermReport {
  std::string name;         // "啓蟄"; empty when not found
  LocalTime trueSolar;      // the first minute of the month it opens
  int days = 0, hours = 0;  // from it to the birth (previous) or on to it (next), truncated
};

// A clock time within the margin at which a pillar changes.
struct Boundary {
  std::string pillar;   // "year", "month", "day" or "hour"
  LocalTime clock;      // the first clock minute (as entered) of the later pillar
  std::string to;       // the pillar on the side away from the birth, "丙子"
  bool before = false;  // true: `to` holds before `clock`; false: from `clock` on
};

struct BirthReport {
  ChartResult chart;
  ChartInput input;  // as computed: sanitised, with the clock shift and basis
  ClockReading clock;
  int clockShiftMinutes = 0;
  std::vector<std::string> notices;  // plain Japanese, in reading order
  TermReport prevTerm, nextTerm;
  std::vector<Boundary> boundaries;  // in clock order
};

// The one entry point: the chart of the entered birth (the clock shift and
// basis of `entered` are replaced by those ReadClock gives for its reading,
// noon when the hour is unknown) with its terms, boundaries and notices.
// Whenever ReadClock gives no shift and the JST basis (every reading with
// dst Off and before1888 Jst, every standard-time reading from 1888 on) the
// chart is ComputeChart(entered) to the last bit.
BirthReport ComputeBirth(const ChartInput& entered, const MomentSettings& settings,
                         const Tables& tables, const LocalTime& now);

// The first step of ComputeBirth alone, for callers that want only the
// chart: chart, input, clock and clockShiftMinutes as ComputeBirth sets
// them, to the bit; no terms, boundaries or notices (a fifth of the cost).
BirthReport ComputeBirthChart(const ChartInput& entered, const MomentSettings& settings,
                              const Tables& tables, const LocalTime& now);

// Texts the windows and the command line show alike.
// "1949-07-01T10:00".
std::string IsoMinuteText(const LocalTime& t);
// "1949年7月1日10時05分".
std::string DateTimeText(const LocalTime& t);
// "節入り：啓蟄 2024年3月5日10時23分（3日4時間前）" for the previous term,
// "次の節：清明 2024年4月4日14時02分（26日19時間後）" for the next; "" when the
// term was not found.
std::string TermLineText(const TermReport& term, bool next);

}  // namespace torvela::chart
