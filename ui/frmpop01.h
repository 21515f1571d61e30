// The popup chart window: a frozen copy of the chart the main window shows,
// so one chart stays in view while the next is entered. It holds its copy
// as a value and shows it in the same chart area as the main window, without
// the true-solar-time, equation-of-time and weekday boxes.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ChartView.h"

class QLineEdit;
class QPushButton;

namespace torvela::ui {

class frmpop01 : public QWidget {
  Q_OBJECT

 public:
  explicit frmpop01(QWidget* parent = nullptr);

  // Shows a copy of the chart with the birth it was computed for: its
  // birthday line and its sex (txtMW 男 or 女).
  void ShowCopy(const chart::ChartTexts& texts, const ChartBirth& birth);

  QLineEdit* txtBirthday;
  QLineEdit* txtMW;
  ChartView* chartView;
  QPushButton* Command1;

 public slots:
  void Command1_Click();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Load();
};

// What the main window's POP command does: creates the popup on first use
// (owned by owner, centred), or shows the existing one where the user left
// it; brings it to the front and shows the copy in it.
frmpop01* ShowPopup(QPointer<frmpop01>& popup, QWidget& owner, const chart::ChartTexts& texts,
                    const ChartBirth& birth);

}  // namespace torvela::ui
