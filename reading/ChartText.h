// The chart as plain text: what torvela-cli prints and what 編集 → 命式をコピー
// copies, the same text in both. Laid out for a terminal in a fixed-width
// font (a Japanese character is two columns). No Qt: it lives beside the
// reading because the text ends with the reading table, and everything it
// shows comes from chart/ and reading/.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "chart/Chart.h"
#include "reading/Reading.h"
#include "reading/ReadingTexts.h"

namespace torvela::reading {

// Everything the text shows. Empty texts and an absent reading are left
// out, heading and all.
struct ChartTextContent {
  std::string name;              // the person's name in the 名簿; empty for a chart not saved
  std::string birthday;          // the 誕生日 line (chart::BirthdayLine)
  bool male = false;             // the sex option
  std::string jisahun, jisabyo;  // the time-difference texts as typed
  std::string birthplace;        // the chosen birthplace, "東京都千代田区"
  chart::ChartTexts chart;
  std::string prevTerm, nextTerm;    // the term lines (chart::TermLineText)
  std::vector<std::string> notices;  // plain Japanese sentences, in reading order
  std::optional<ReadingTexts> reading;
};

// The chart texts, term lines, notices and reading of one computed birth;
// now marks the reading's current year as it marked the chart's column.
// Any content with those members takes them (the printed page's too).
template <typename Content>
void SetBirth(Content& content, const chart::BirthReport& birth, const Tables& tables,
              const chart::LocalTime& now) {
  content.chart = chart::MakeChartTexts(birth.chart, tables);
  content.notices = birth.notices;
  content.prevTerm = chart::TermLineText(birth.prevTerm, false);
  content.nextTerm = chart::TermLineText(birth.nextTerm, true);
  content.reading =
      MakeReadingTexts(Read(birth.chart, static_cast<int>(birth.input.year), now), tables);
}

// The text, each line ending in a newline and none ending in blanks:
// the inputs; the chart as the main window shows it (pillars 時・日・月・年
// from the left, the great-luck columns with today's marked 現在); the term
// lines; the notices; the reading table (columns 時柱・日柱・月柱・年柱),
// 空亡, 五行, 陰陽 and 年運 with the current year marked.
std::string ChartPlainText(const ChartTextContent& content);

}  // namespace torvela::reading
