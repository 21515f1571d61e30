// The chart area of the main window and the popup: the four pillars under
// their headings with the season element, the result boxes, and the eleven
// great-luck columns under their decorations, and under them the sectional
// terms and the notices about the birth's moment. Each control carries its
// design name. Show writes one chart into every control and keeps it with
// the birth it was computed for and its notes, so what the area shows can be
// handed on as one value; the area can say that the inputs have moved on
// from it.
#pragma once

#include <QFrame>
#include <QHash>
#include <QString>
#include <array>

#include "ChartNotes.h"
#include "chart/Chart.h"

class QGraphicsOpacityEffect;
class QLabel;
class QLineEdit;

namespace torvela::ui {

class NoticeArea;

// The birth a chart was computed for, as the inputs read then: the birthday
// line, the sex, the two time-difference texts as typed and the birthplace
// chosen for them (its prefecture and name; empty when none). Equal values
// give the same chart, shown with the same place.
struct ChartBirth {
  QString birthday;
  bool male = false;
  QString jisahun, jisabyo;
  QString place;

  bool operator==(const ChartBirth&) const = default;
};

class ChartView : public QFrame {
  Q_OBJECT

 public:
  struct Options {
    // The 真太陽時 and 均時差 boxes and the weekday; the popup has none.
    bool solarTime = true;
    // Object names of the fixed captions 旺, 満, 歳, 大 and 運, which each
    // window names its own way.
    const char* ou = "Label11";
    const char* full = "Label16";
    const char* years = "Label15";
    const char* dai = "Label2";
    const char* un = "Label3";
  };

  explicit ChartView(const Options& options, QWidget* parent = nullptr);

  // Writes every text of the chart into its control, then marks the
  // current great-luck column, and shows the terms and notices of its notes;
  // keeps the texts, the birth and the notes, and takes back any
  // out-of-date mark.
  void Show(const chart::ChartTexts& texts, const ChartBirth& birth, const ChartNotes& notes = {});
  // Only the column's great-luck labels bold; -1 for none.
  void MarkCurrentLuckColumn(int column);
  // The chart shown last and its birth (empty before the first).
  const chart::ChartTexts& texts() const { return texts_; }
  const ChartBirth& birth() const { return birth_; }
  const ChartNotes& notes() const { return notes_; }
  bool hasChart() const { return hasChart_; }

  // Greys the chart and says that the inputs no longer match its birth, or
  // takes that back. The texts stay as they are.
  void SetOutOfDate(bool outOfDate);
  bool outOfDate() const { return outOfDate_; }

  // Null without Options::solarTime.
  QLineEdit *txtShin = nullptr, *txtKinjisa = nullptr, *txtweek = nullptr;
  QLineEdit *txtKoutai, *txtKoutaiYM, *txtAge, *txtKoukei;
  QLabel *yKan, *yShi, *mKan, *mShi, *dKan, *dShi, *hKan, *hShi;
  QLabel* lblOu;
  std::array<QLabel*, 11> dun_kan{}, dun_shi{};
  std::array<QLabel*, 10> sai1{};
  std::array<QLabel*, 11> sai2{};
  std::array<QLabel*, 11> Picture{};  // Picture1 .. Picture11
  // Headings for a newcomer: 時柱 日柱 月柱 年柱 over the pillars, and the
  // two age rows of the great luck.
  QLabel *lblHourPillar, *lblDayPillar, *lblMonthPillar, *lblYearPillar;
  QLabel *lblFromAge, *lblToAge;
  // "入力が変わりました…", over the greyed chart while it is out of date.
  QLabel* lblOutOfDate;
  // The terms and notices, greyed with the chart.
  NoticeArea* noticeArea;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  template <typename W>
  W* Control(W* widget, const QString& name);
  void PlaceOutOfDateMark();

  QWidget* content_;  // everything but the mark, greyed as one
  QGraphicsOpacityEffect* fade_;
  QHash<QString, QWidget*> controls_;  // the chart controls by object name
  chart::ChartTexts texts_;
  ChartBirth birth_;
  ChartNotes notes_;
  bool hasChart_ = false, outOfDate_ = false;
};

// A read-only box for a result, as wide as `widest` needs; selectable for
// copying, never a tab stop.
QLineEdit* ResultBox(QWidget* parent, const QString& name, const QString& widest);

}  // namespace torvela::ui
