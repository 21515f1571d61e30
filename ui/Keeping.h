// What the main window's ファイル and 編集 commands make of the chart on
// screen, kept free of widgets: the printed page and the copied text of a
// shown chart, the window title naming the person open, the file names
// offered, and the texts that report a CSV import.
#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "ChartNotes.h"
#include "ChartView.h"
#include "chart/BirthMoment.h"
#include "report/Page.h"
#include "reading/ChartText.h"
#include "store/Csv.h"

namespace torvela::ui {

// The page of a chart as ChartView keeps it: its birth as the inputs read
// then, its texts, its terms, notices and reading; name is the person's,
// empty for a chart not kept.
report::PageContent PageOf(const ChartBirth& birth, const chart::ChartTexts& texts, const ChartNotes& notes,
                           const QString& name, const QDate& printedOn);

// The same chart as the text torvela-cli prints.
reading::ChartTextContent TextOf(const ChartBirth& birth, const chart::ChartTexts& texts, const ChartNotes& notes,
                                 const QString& name);

// The birth-moment settings as a person keeps them: none for the program's
// defaults, as a person saved before they were changed has none; and back.
std::optional<store::MomentSettings> KeptMoment(const chart::MomentSettings& settings);
chart::MomentSettings MomentOf(const std::optional<store::MomentSettings>& kept);

// The birth as one line, for a last look before it is kept:
// "1980年3月1日0時10分　女　時差 -18分30秒　福岡県福岡市".
QString BirthSummary(const ChartBirth& birth);

// The main window's title: the program's caption, then the person whose
// chart is shown; "（変更あり）" when the chart on screen is no longer the
// one kept for them.
QString MainWindowTitle(const QString& name, bool changed);

// "山田花子の命式.pdf", or "命式.pdf" for a chart not kept; characters no
// file name may hold become "_".
QString SuggestedFileName(const QString& name, const QString& suffix);

// The bad rows of a CSV file, one "5行目: …" a line, the first `limit` of
// them and then how many more.
QString CsvProblemsText(const std::vector<store::CsvRowProblem>& bad, int limit = 10);

}  // namespace torvela::ui
