// The year picker: three century buttons, the years of the chosen century
// in three columns, the picked year and the decide button. It is created
// once and hidden, not destroyed, after a decision, so it shows the list and
// year it was left with when it is opened again.
#pragma once

#include <QWidget>

#include "calc/Module2.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace torvela::ui {

class yInput : public QWidget {
  Q_OBJECT

 public:
  // No Qt parent: the window it locks while open must not take it along.
  explicit yInput(Module2& module);

  // Shows the picker; the first time it runs Form_Load before showing.
  void Open();
  // Lists the year's century, picks the year as a click on it would and
  // decides it as the decide button does; the picker need not be shown.
  // Nothing happens for a year no century button lists.
  void Decide(int year);
  bool loaded() const { return loaded_; }

  QPushButton* y1800;
  QPushButton* y1900;
  QPushButton* y2000;
  QListWidget* List1;
  QLabel* lblSelect_y;
  QLabel* lstSelyear;
  QPushButton* btnSlok;

 public slots:
  void y1800_Click();
  void y1900_Click();
  void y2000_Click();
  void List1_Click(QListWidgetItem* item);
  void btnSlok_Click();

 signals:
  // The main window is to take input again: the decide button was pressed
  // (with or without a year) or the picker was closed.
  void released();
  // A year was stored in module.BirthYear and the picker hid itself.
  void decided();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Form_Load();
  void FillYears(int century);

  Module2& module_;
  bool loaded_ = false;
  bool filling_ = false;
};

}  // namespace torvela::ui
