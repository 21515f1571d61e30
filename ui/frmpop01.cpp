#include "frmpop01.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "DetailWindow.h"
#include "Fonts.h"

namespace torvela::ui {

frmpop01::frmpop01(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmpop01"));
  setWindowTitle(QStringLiteral("TorvelaPopUp"));
  // The close box discards the copy; Close only hides it.
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(GothicFont(11));

  // Birthday line and sex.
  auto caption = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
  };
  txtBirthday = ResultBox(this, QStringLiteral("txtBirthday"), QStringLiteral("2000年12月31日23時59分出生時間不明"));
  txtMW = ResultBox(this, QStringLiteral("txtMW"), QStringLiteral("男"));
  txtMW->setAlignment(Qt::AlignCenter);
  txtMW->setFixedWidth(txtMW->minimumWidth());
  txtPlace = ResultBox(this, QStringLiteral("txtPlace"), QStringLiteral("神奈川県横浜市保土ケ谷区"));
  txtPlace->setFixedWidth(txtPlace->minimumWidth());
  auto* sexRow = new QHBoxLayout;
  sexRow->addSpacing(12);
  sexRow->addWidget(caption("Label11", QStringLiteral("性別：")));
  sexRow->addWidget(txtMW);
  // Birthday and birthplace under each other, their captions aligned.
  auto* top = new QGridLayout;
  top->addWidget(caption("Label7", QStringLiteral("誕生日：")), 0, 0);
  top->addWidget(txtBirthday, 0, 1);
  top->addLayout(sexRow, 0, 2);
  top->addWidget(caption("lblPlace", QStringLiteral("出生地：")), 1, 0);
  top->addWidget(txtPlace, 1, 1, Qt::AlignLeft);
  top->setColumnStretch(1, 1);

  ChartView::Options options;
  options.solarTime = false;
  options.ou = "Label12";
  options.full = "Label13";
  options.years = "Label14";
  options.dai = "Label15";
  options.un = "Label16";
  chartView = new ChartView(options, this);

  btnDetail = new QPushButton(QStringLiteral("詳細"), this);
  btnDetail->setObjectName(QStringLiteral("btnDetail"));
  btnDetail->setToolTip(QStringLiteral("この命式の命式詳細"));
  btnDetail->setAutoDefault(true);
  btnDetail->setEnabled(false);
  connect(btnDetail, &QPushButton::clicked, this, &frmpop01::btnDetail_Click);
  Command1 = new QPushButton(QStringLiteral("Close"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &frmpop01::Command1_Click);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(btnDetail);
  bottom->addWidget(Command1);

  auto* layout = new QVBoxLayout(this);
  // One size whatever the copy holds, so the window stays where it was put.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(8);
  layout->addLayout(top);
  layout->addWidget(chartView);
  layout->addLayout(bottom);

  Form_Load();
}

void frmpop01::Form_Load() {
  // Centre on the size the window will show with, style and all, and with
  // its frame where the platform already knows it.
  ensurePolished();
  adjustSize();
  // create(), not winId(): winId() marks the window native, and a native
  // window with a parent turns every child of the main window native too.
  create();
  QRect frame = frameGeometry();
  frame.moveCenter(screen()->availableGeometry().center());
  move(frame.topLeft());
}

// The popup's 命式詳細 belongs to the copy: it goes away with the popup.
void frmpop01::Command1_Click() {
  if (detail_) detail_->hide();
  hide();
}

void frmpop01::btnDetail_Click() {
  const ChartNotes& notes = chartView->notes();
  if (!notes.reading) return;
  if (!detail_) {
    detail_ = new DetailWindow(this);
    detail_->Show(*notes.reading);
  }
  const ChartBirth& birth = chartView->birth();
  detail_->setWindowTitle(DetailWindowTitle(birth.birthday, birth.male, birth.place, true));
  detail_->show();
  detail_->raise();
  detail_->activateWindow();
}

void frmpop01::keyPressEvent(QKeyEvent* event) {
  // Escape hides the copy as Close does; the close box would discard it.
  if (event->key() == Qt::Key_Escape) {
    Command1_Click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void frmpop01::ShowCopy(const chart::ChartTexts& texts, const ChartBirth& birth, const ChartNotes& notes) {
  txtBirthday->setText(birth.birthday);
  txtBirthday->setCursorPosition(0);  // show the start of a long line
  chartView->Show(texts, birth, notes);
  txtMW->setText(birth.male ? QStringLiteral("男") : QStringLiteral("女"));
  txtPlace->setText(birth.place);
  txtPlace->setCursorPosition(0);
  btnDetail->setEnabled(notes.reading.has_value());
  if (detail_) {
    if (notes.reading) {
      detail_->Show(*notes.reading);
      detail_->setWindowTitle(DetailWindowTitle(birth.birthday, birth.male, birth.place, true));
    } else {
      detail_->Clear();
      detail_->hide();
    }
  }
}

frmpop01* ShowPopup(QPointer<frmpop01>& popup, QWidget& owner, const chart::ChartTexts& texts,
                    const ChartBirth& birth, const ChartNotes& notes) {
  if (!popup) popup = new frmpop01(&owner);
  popup->show();
  popup->raise();
  popup->activateWindow();
  popup->ShowCopy(texts, birth, notes);
  return popup;
}

}  // namespace torvela::ui
