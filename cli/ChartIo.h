// What torvela-cli reads and writes: dates and times as typed on the command
// line, one batch line in and out, and the chart as text or JSON.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "chart/Chart.h"
#include "place/Gazetteer.h"
#include "reading/ChartText.h"
#include "reading/ReadingTexts.h"

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
  // The chosen birthplace, or null; with one, jisahun and jisabyo are its
  // time difference (place::TimeDifferenceOf).
  const place::Place* place = nullptr;
  chart::MomentSettings moment;
};

// The chart's input; the time-difference texts are read in their
// half-width form (NFKC), as the windows read them.
chart::ChartInput InputOf(const Birth& birth);

// The 誕生日 line of the birth (chart::BirthdayLine).
std::string BirthdayOf(const Birth& birth);

// What --json and --batch write besides the chart, as --fields names them:
// "chart" (always), "moment", "reading", "place".
struct Fields {
  bool moment = true;   // clockShiftMinutes, notices, prevTerm, nextTerm, boundaries
  bool reading = true;  // reading
  bool place = true;    // place, when one was chosen
  bool operator==(const Fields&) const = default;
};
inline constexpr Fields ChartOnly{false, false, false};

// A comma list of those names (each at most once); nothing for anything else.
std::optional<Fields> ParseFields(std::string_view text);

// One chart with what goes with it. The summer-time shift is in the chart
// whatever the fields; the terms, boundaries and notices are found only for
// moment, and the reading is made only for reading.
struct ChartRecord {
  chart::BirthReport birth;
  chart::ChartTexts texts;
  std::optional<reading::ReadingTexts> reading;
  const place::Place* place = nullptr;
};

ChartRecord ComputeRecord(const Birth& birth, const Tables& tables, const chart::LocalTime& now,
                          const Fields& fields);

// One JSON object: {"texts": {...}, "bold": n, "result": {...}}, preceded by
// "line": n when line > 0. Field names and order are those of ChartFields.h.
// Numbers read back to the same doubles. No trailing newline.
void AppendChartJson(std::string& out, long line, const chart::ChartTexts& texts,
                     const chart::ChartResult& result);

// The same object followed by the fields asked for: "clockShiftMinutes",
// "notices", "prevTerm", "nextTerm", "boundaries" (moment), "reading"
// (reading; keys of reading/ReadingFields.h) and "place" (place, only when
// one was chosen). With ChartOnly it is AppendChartJson's object.
void AppendRecordJson(std::string& out, long line, const ChartRecord& record,
                      const Fields& fields);

// {"line": n, "error": message} and a newline. Bytes of the message that are
// not UTF-8 (it may quote the input) come out as U+FFFD.
void AppendErrorJson(std::string& out, long line, std::string_view message);

// What the plain text shows for a birth: the inputs (the name and place
// given, or the chosen place's name), and the whole birth with its reading.
reading::ChartTextContent TextContentOf(const Birth& birth, const std::string& name,
                                        const std::string& placeName,
                                        const chart::BirthReport& report, const Tables& tables,
                                        const chart::LocalTime& now);

// The gazetteer, read from its file the first time a place is asked for, so
// that a batch without places never reads it. Safe to share between threads.
class PlaceBook {
 public:
  explicit PlaceBook(std::filesystem::path file);
  ~PlaceBook();
  PlaceBook(const PlaceBook&) = delete;
  PlaceBook& operator=(const PlaceBook&) = delete;

  // The gazetteer, or null with the reader's message in error.
  const place::Gazetteer* Get(std::string& error) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// What every line of a batch shares.
struct BatchContext {
  const Tables& tables;
  chart::LocalTime now;          // unless a line names its own
  chart::MomentSettings moment;  // unless a line names its own dst, before1888, margin
  Fields fields;
  const PlaceBook* places = nullptr;  // null: a line naming a place is refused
};

// One batch line read: the birth, and now unless the line names its own.
// On a bad line returns false with a message for the user.
bool ReadBatchLine(std::string_view line, const BatchContext& context, Birth& birth,
                   chart::LocalTime& now, std::string& error);

// One batch line to one output line (with its newline). Returns false when
// the line could not be read.
bool BatchLine(std::string_view line, long lineNumber, const BatchContext& context,
               std::string& out);

}  // namespace torvela::cli
