// The popup chart window: a frozen copy of the chart the main window shows,
// so one chart stays in view while the next is entered. It holds its copy
// as a value and shows it in the same chart area as the main window, without
// the true-solar-time, equation-of-time and weekday boxes. Its 詳細 button
// opens a 命式詳細 window of its own with the reading that came with the copy.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ChartView.h"
#include "DetailWindow.h"

class QLineEdit;
class QPushButton;

namespace torvela::ui {


class frmpop01 : public QWidget {
  Q_OBJECT

 public:
  explicit frmpop01(QWidget* parent = nullptr);

  // Shows a copy of the chart with the birth it was computed for: its
  // birthday line, its sex (txtMW 男 or 女), its birthplace (txtPlace,
  // empty when none was chosen) and its notes (terms, notices, reading); an
  // open 命式詳細 of the popup follows the copy.
  void ShowCopy(const chart::ChartTexts& texts, const ChartBirth& birth, const ChartNotes& notes = {});

  // The popup's own 命式詳細, once 詳細 has opened it.
  DetailWindow* detailWindow() const { return detail_; }

  QLineEdit* txtBirthday;
  QLineEdit* txtMW;
  QLineEdit* txtPlace;
  ChartView* chartView;
  QPushButton *btnDetail, *Command1;

 public slots:
  void btnDetail_Click();
  void Command1_Click();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Load();

  QPointer<DetailWindow> detail_;
};

// What the main window's POP command does: creates the popup on first use
// (owned by owner, centred), or shows the existing one where the user left
// it; brings it to the front and shows the copy in it.
frmpop01* ShowPopup(QPointer<frmpop01>& popup, QWidget& owner, const chart::ChartTexts& texts,
                    const ChartBirth& birth, const ChartNotes& notes = {});

}  // namespace torvela::ui
