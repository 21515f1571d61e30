// The 命式詳細 window: the reading of the chart in view, as a table in the
// usual arrangement (columns 時・日・月・年 from left to right), the 空亡,
// the five elements as bars, 陰陽, and the yearly luck with the current
// year in bold. It only writes the texts it is given. Escape hides it, as
// 閉じる does.
//
// Object names: the cells of column c (0 = 時 .. 3 = 年) are lblHeading_c,
// lblTenGod_c, lblStem_c, lblBranch_c, lblVoid_c (空亡 under a branch in the
// day's 空亡), lblHidden_c, lblHiddenTenGod_c, lblStage_c, lblNayin_c; then
// lblDayMaster, lblDayVoid, lblYearVoid, picElements, lblYinYang,
// grpYearLuck, tblYearLuck, btnClose.
#pragma once

#include <QWidget>
#include <array>

#include "reading/ReadingTexts.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace torvela::ui {

class ElementBars;

class DetailWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DetailWindow(QWidget* parent = nullptr);

  // Writes one reading into the window (it does not raise the window).
  void Show(const reading::ReadingTexts& texts);
  // Empties every cell, as before the first chart.
  void Clear();

  using Column = std::array<QLabel*, reading::PillarCount>;
  Column lblHeading, lblTenGod, lblStem, lblBranch, lblVoid, lblHidden, lblHiddenTenGod,
      lblStage, lblNayin;
  QLabel* lblDayMaster;
  QLabel *lblDayVoid, *lblYearVoid;
  ElementBars* picElements;
  QLabel* lblYinYang;
  QGroupBox* grpYearLuck;
  QTableWidget* tblYearLuck;
  QPushButton* btnClose;

 public slots:
  void btnClose_Click();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The window's title for the chart of a birth:
// "命式詳細　1975年3月5日14時30分・男・福岡県福岡市" (no place when none was
// chosen); a copy's (the popup's) says "命式詳細（POP）".
QString DetailWindowTitle(const QString& birthday, bool male, const QString& place, bool copy);

}  // namespace torvela::ui
