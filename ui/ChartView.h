// The chart area of the main window and the popup: the four pillars with the
// season element, the result boxes, and the eleven great-luck columns under
// their decorations. Each control carries its design name. Show writes one
// chart into every control and keeps it, so what the area shows can be
// handed on as one value.
#pragma once

#include <QFrame>
#include <QHash>
#include <array>

#include "chart/Chart.h"

class QLabel;
class QLineEdit;

namespace torvela::ui {

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
  // current great-luck column; keeps the texts.
  void Show(const chart::ChartTexts& texts);
  // Only the column's great-luck labels bold; -1 for none.
  void MarkCurrentLuckColumn(int column);
  // The chart shown last (empty texts before the first).
  const chart::ChartTexts& texts() const { return texts_; }

  // Null without Options::solarTime.
  QLineEdit *txtShin = nullptr, *txtKinjisa = nullptr, *txtweek = nullptr;
  QLineEdit *txtKoutai, *txtKoutaiYM, *txtAge, *txtKoukei;
  QLabel *yKan, *yShi, *mKan, *mShi, *dKan, *dShi, *hKan, *hShi;
  QLabel* lblOu;
  std::array<QLabel*, 11> dun_kan{}, dun_shi{};
  std::array<QLabel*, 10> sai1{};
  std::array<QLabel*, 11> sai2{};
  std::array<QLabel*, 11> Picture{};  // Picture1 .. Picture11

 private:
  template <typename W>
  W* Control(W* widget, const QString& name);

  QHash<QString, QWidget*> controls_;  // the chart controls by object name
  chart::ChartTexts texts_;
};

// A read-only box for a result, as wide as `widest` needs; selectable for
// copying, never a tab stop.
QLineEdit* ResultBox(QWidget* parent, const QString& name, const QString& widest);

}  // namespace torvela::ui
