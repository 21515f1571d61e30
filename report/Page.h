// One printed page of a chart: what it shows, how it is laid out on an A4
// sheet, and the page painted on any QPainter (a printer, a PDF writer, an
// image) or written as a PDF file. What is not given is left off the page,
// heading and all. Needs a QGuiApplication (fonts); no widgets.
#pragma once

#include <QColor>
#include <QDate>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "chart/Chart.h"
#include "reading/ReadingTexts.h"

class QPainter;

namespace torvela::report {

// Everything one page shows. Empty texts and an absent reading are left off.
struct PageContent {
  QString name;       // the person's name in the 名簿; empty for a chart not saved
  QString birthday;   // the 誕生日 line as the main window shows it
  bool male = false;  // the sex option
  QString jisahun, jisabyo;  // the time-difference texts as typed
  QString birthplace;        // the chosen birthplace, "東京都 千代田区"
  chart::ChartTexts chart;
  std::vector<std::string> notices;  // plain Japanese sentences, in reading order
  std::string prevTerm, nextTerm;    // the term lines (chart::TermLineText)
  std::optional<reading::ReadingTexts> reading;
  QDate printedOn;  // the footer's date; an invalid date leaves it off
};

// The chart texts, notices, term lines and reading of one computed birth;
// now marks the reading's current year as it marked the chart's column.
void SetBirth(PageContent& content, const chart::BirthReport& birth, const Tables& tables,
              const chart::LocalTime& now);

// "Torvela（一般用）命式 山田花子": the PDF title and the print job's name.
QString PageTitle(const PageContent& content);

// An A4 sheet in points (1/72 inch).
inline constexpr double PageWidth = 595.276;
inline constexpr double PageHeight = 841.890;

// One thing drawn on the page, in points from the sheet's top-left corner.
struct PageItem {
  enum class Kind { Text, Box, Line };
  Kind kind = Kind::Text;
  QRectF rect;        // Line: from rect.topLeft() to rect.bottomRight()
  QString text;       // Text: one or more lines ('\n'), or a paragraph to wrap
  QFont font;         // Text: its point size (whole points) is the size on paper
  int flags = 0;      // Text: Qt::Alignment | Qt::TextWordWrap
  QColor pen;         // text, frame or line colour; invalid: a Box without frame
  QColor fill;        // Box: invalid for none
  double penWidth = 0.5;  // Box frame, Line
  double radius = 0;      // Box corners
  // Text: drawn at the font's size times this (a shrunk page), within rect.
  double scale = 1;
};

// The page laid out in drawing order. Texts are measured, elided where a
// single line would not fit its rect, and a page whose notices would run
// into the footer is shrunk as a whole to fit.
std::vector<PageItem> LayOutPage(const PageContent& content);

// Paints the page into pageRect of painter's device (device coordinates),
// the A4 sheet scaled to fit and centred. Paints no background.
void PaintPage(QPainter& painter, const QRectF& pageRect, const PageContent& content);

// The page on a white A4 image of dpi dots per inch.
QImage RenderPage(const PageContent& content, double dpi);

// Writes the page as a one-page A4 PDF with its fonts embedded. The file is
// replaced only when the whole PDF was written; on failure error (when
// given) holds a Japanese message and false is returned.
bool WritePdf(const QString& path, const PageContent& content, QString* error);

}  // namespace torvela::report
