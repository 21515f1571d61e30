#include "ChartNotes.h"

#include "reading/Reading.h"

namespace torvela::ui {

ChartNotes MakeChartNotes(const chart::BirthReport& report, const Tables& tables,
                          const chart::LocalTime& now) {
  ChartNotes notes;
  notes.prevTerm = QString::fromStdString(chart::TermLineText(report.prevTerm, false));
  notes.nextTerm = QString::fromStdString(chart::TermLineText(report.nextTerm, true));
  for (const std::string& notice : report.notices) notes.notices << QString::fromStdString(notice);
  // The yearly luck counts ages from the year as entered, not as shifted.
  const int birthYear = static_cast<int>(report.input.year);
  notes.reading = reading::MakeReadingTexts(reading::Read(report.chart, birthYear, now), tables);
  return notes;
}

}  // namespace torvela::ui
