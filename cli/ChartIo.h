// What torvela-cli reads and writes: dates and times as typed on the command
// line, one batch line in and out, and the chart as text or JSON.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/Module2.h"
#include "chart/Chart.h"

namespace torvela::cli {

inline constexpr int FirstYear = 1800;  // the years the year picker offers
inline constexpr int LastYear = 2080;
// Deeper JSON in a batch line is refused before anything is built from it.
inline constexpr int MaxJsonDepth = 64;

struct Date {
  int year = 0, month = 0, day = 0;
};

// "YYYY-MM-DD", a Gregorian date within FirstYear..LastYear.
std::optional<Date> ParseDate(std::string_view text);
// "YYYY-MM-DDTHH:MM" (a blank may stand for the T), any Gregorian date.
std::optional<chart::LocalTime> ParseLocalTime(std::string_view text);
// A list text: "?" or a whole number 0..max written in digits.
bool IsListText(std::string_view text, int max);

// The birth as the inputs would hold it.
struct Birth {
  Date date;
  std::string hour = "?", minute = "?";  // list texts
  bool male = false;
  std::string jisahun = "0", jisabyo = "0";  // time-difference texts as typed
};

chart::ChartInput InputOf(const Birth& birth);

// One JSON object: {"texts": {...}, "bold": n, "result": {...}}, preceded by
// "line": n when line > 0. Field names and order are those of ChartFields.h.
// Numbers read back to the same doubles. No trailing newline.
void AppendChartJson(std::string& out, long line, const chart::ChartTexts& texts,
                     const chart::ChartResult& result);

// {"line": n, "error": message} and a newline. Bytes of the message that are
// not UTF-8 (it may quote the input) come out as U+FFFD.
void AppendErrorJson(std::string& out, long line, std::string_view message);

// The chart laid out as the main window shows it, for a terminal.
std::string ChartPlainText(const Birth& birth, const chart::ChartTexts& texts);

// One batch line read: the birth, and now unless the line names its own.
// On a bad line returns false with a message for the user.
bool ReadBatchLine(std::string_view line, Birth& birth, chart::LocalTime& now,
                   std::string& error);

// One batch line to one output line (with its newline). now is used unless
// the line names its own. Returns false when the line could not be read.
bool BatchLine(std::string_view line, long lineNumber, const Tables& tables,
               const chart::LocalTime& now, std::string& out);

}  // namespace torvela::cli
