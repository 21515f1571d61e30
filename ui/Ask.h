// A question to the user whose safe answer is the default: Enter and Escape
// both give "no", so nothing is deleted or added by a key pressed too soon.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace torvela::ui {

struct Question {
  QString objectName;  // tests find the box by it
  QString title, text;
  QString informative, detailed;  // optional
  QString yes, no;                // the two buttons' captions
  QMessageBox::ButtonRole yesRole = QMessageBox::AcceptRole;
};

// Shows the question modally; true when the user chose yes.
bool Ask(QWidget* parent, const Question& question);

}  // namespace torvela::ui
