#include "Ask.h"

#include <QPushButton>

namespace torvela::ui {

bool Ask(QWidget* parent, const Question& q) {
  QMessageBox ask(QMessageBox::Question, q.title, q.text, QMessageBox::NoButton, parent);
  ask.setObjectName(q.objectName);
  if (!q.informative.isEmpty()) ask.setInformativeText(q.informative);
  if (!q.detailed.isEmpty()) ask.setDetailedText(q.detailed);
  QPushButton* yes = ask.addButton(q.yes, q.yesRole);
  QPushButton* no = ask.addButton(q.no, QMessageBox::RejectRole);
  ask.setDefaultButton(no);
  ask.setEscapeButton(no);
  ask.exec();
  return ask.clickedButton() == yes;
}

}  // namespace torvela::ui
