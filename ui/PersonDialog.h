// 名簿に保存's question: the name (required), its reading and a memo for the
// chart on screen, whose birth is shown for a last look. For a person
// already open it offers both to write over them and to add a new person.
#pragma once

#include <QDialog>

#include "store/Person.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace torvela::ui {

class PersonDialog : public QDialog {
  Q_OBJECT

 public:
  enum Choice { Cancel, Update, Add };

  // person: what to fill in (name, reading, memo); updating: whether that
  // person is in the 名簿 and may be written over. birth: one line saying
  // what is saved.
  PersonDialog(const store::Person& person, bool updating, const QString& birth, QWidget* parent = nullptr);

  // What was chosen once the dialog has ended.
  Choice choice() const { return choice_; }
  // The name (surrounding blanks removed), reading and memo as filled in.
  QString name() const;
  QString reading() const;
  QString memo() const;

  QLineEdit *txtName, *txtReading;
  QPlainTextEdit* txtMemo;
  QLabel *lblBirth, *lblUpdate;
  QPushButton *btnUpdate, *btnAdd, *btnCancel;  // btnUpdate only when updating

 public slots:
  void txtName_Change();
  void btnUpdate_Click();
  void btnAdd_Click();

 private:
  Choice choice_ = Cancel;
};

}  // namespace torvela::ui
