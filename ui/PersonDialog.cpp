#include "PersonDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ControlNames.h"

namespace torvela::ui {

PersonDialog::PersonDialog(const store::Person& person, bool updating, const QString& birth, QWidget* parent)
    : QDialog(parent), btnUpdate(nullptr) {
  setObjectName(QStringLiteral("PersonDialog"));
  setWindowTitle(QStringLiteral("名簿に保存"));

  txtName = Named(new QLineEdit(person.name, this), "txtName");
  txtName->setPlaceholderText(QStringLiteral("必須"));
  txtReading = Named(new QLineEdit(person.reading, this), "txtReading");
  txtReading->setPlaceholderText(QStringLiteral("ひらがなかカタカナ（検索に使います）"));
  txtMemo = Named(new QPlainTextEdit(person.memo, this), "txtMemo");
  txtMemo->setTabChangesFocus(true);
  const QFontMetrics metrics = fontMetrics();
  txtMemo->setFixedHeight(metrics.lineSpacing() * 4 + 12);
  lblBirth = Named(new QLabel(birth, this), "lblBirth");
  lblBirth->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("名前(&N)："), txtName);
  form->addRow(QStringLiteral("よみ(&R)："), txtReading);
  form->addRow(QStringLiteral("メモ(&M)："), txtMemo);
  form->addRow(QStringLiteral("保存する命式："), lblBirth);

  lblUpdate = Named(new QLabel(this), "lblUpdate");
  lblUpdate->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(this);
  if (updating) {
    lblUpdate->setText(QStringLiteral("名簿の「%1」をこの命式で書き換えます。"
                                      "別の人として残すときは「新しく追加」を押します。")
                           .arg(person.name));
    btnUpdate = Named(buttons->addButton(QStringLiteral("上書き保存"), QDialogButtonBox::AcceptRole), "btnUpdate");
    btnAdd = Named(buttons->addButton(QStringLiteral("新しく追加"), QDialogButtonBox::ActionRole), "btnAdd");
  } else {
    lblUpdate->hide();
    btnAdd = Named(buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole), "btnAdd");
  }
  btnCancel = Named(buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole), "btnCancel");
  (btnUpdate ? btnUpdate : btnAdd)->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(lblUpdate);
  layout->addWidget(buttons);
  setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('0')) * 64);

  if (btnUpdate) connect(btnUpdate, &QPushButton::clicked, this, &PersonDialog::btnUpdate_Click);
  connect(btnAdd, &QPushButton::clicked, this, &PersonDialog::btnAdd_Click);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(txtName, &QLineEdit::textChanged, this, &PersonDialog::txtName_Change);
  txtName_Change();
  txtName->setFocus();
  txtName->selectAll();
}

QString PersonDialog::name() const { return txtName->text().trimmed(); }
QString PersonDialog::reading() const { return txtReading->text().trimmed(); }
QString PersonDialog::memo() const { return txtMemo->toPlainText(); }

// A person needs a name.
void PersonDialog::txtName_Change() {
  const bool named = !name().isEmpty();
  if (btnUpdate) btnUpdate->setEnabled(named);
  btnAdd->setEnabled(named);
}

void PersonDialog::btnUpdate_Click() {
  if (name().isEmpty()) return;
  choice_ = Update;
  accept();
}

void PersonDialog::btnAdd_Click() {
  if (name().isEmpty()) return;
  choice_ = Add;
  accept();
}

}  // namespace torvela::ui
