#include "frmjpmap.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <array>

#include "ActivationOrigin.h"
#include "Fonts.h"
#include "MapPicture.h"

namespace torvela::ui {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text = {}) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(GothicFont(12));
  return label;
}

// A value box wide enough for "000", so the rows keep still while values change.
QLabel* MakeValueLabel(QWidget* parent, const char* name) {
  QLabel* label = MakeLabel(parent, name);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 6);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(GothicFont(12));
  button->setAutoDefault(true);  // Enter presses the focused button
  return button;
}

}  // namespace

frmjpmap::frmjpmap(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmjpmap"));
  setWindowTitle(QStringLiteral("日本地図"));
  setFont(GothicFont(12));
  origin_ = new ActivationOrigin(this);

  Picture1 = new MapPicture(this);

  // Names the meridian line; it sits in open sea at the foot of the map and
  // lets clicks through to the picture.
  Label2 = MakeLabel(Picture1, "Label2", QStringLiteral("東経135度/日本標準時"));
  Label2->setFont(GothicFont(10));
  Label2->setAttribute(Qt::WA_TransparentForMouseEvents);
  Label2->adjustSize();
  Label2->move(static_cast<int>(MeridianX()) + 5, kMapSize - Label2->height() - 4);

  Label1 = MakeLabel(this, "Label1", QStringLiteral("東経"));
  lblkdo = MakeValueLabel(this, "lblkdo");
  Label3 = MakeLabel(this, "Label3", QStringLiteral("度"));
  lblkhun = MakeValueLabel(this, "lblkhun");
  Label5 = MakeLabel(this, "Label5", QStringLiteral("分"));
  lblkbyou = MakeValueLabel(this, "lblkbyou");
  Label7 = MakeLabel(this, "Label7", QStringLiteral("秒"));
  Label8 = MakeLabel(this, "Label8", QStringLiteral("北緯"));
  lblido = MakeValueLabel(this, "lblido");
  Label10 = MakeLabel(this, "Label10", QStringLiteral("度"));
  lblihun = MakeValueLabel(this, "lblihun");
  Label12 = MakeLabel(this, "Label12", QStringLiteral("分"));
  lblibyou = MakeValueLabel(this, "lblibyou");
  Label14 = MakeLabel(this, "Label14", QStringLiteral("秒"));

  btndecide = MakeButton(this, "btndecide", QStringLiteral("決定"));
  btncancel = MakeButton(this, "btncancel", QStringLiteral("取消"));
  btnClose = MakeButton(this, "btnClose", QStringLiteral("Close"));

  auto* coordinates = new QGridLayout;
  coordinates->setHorizontalSpacing(4);
  const std::array<QLabel*, 7> lonRow{Label1, lblkdo, Label3, lblkhun, Label5, lblkbyou, Label7};
  const std::array<QLabel*, 7> latRow{Label8, lblido, Label10, lblihun, Label12, lblibyou, Label14};
  for (int column = 0; column < 7; ++column) {
    coordinates->addWidget(lonRow[column], 0, column);
    coordinates->addWidget(latRow[column], 1, column);
  }

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btndecide);
  buttons->addWidget(btncancel);
  buttons->addSpacing(12);
  buttons->addWidget(btnClose);

  auto* panel = new QVBoxLayout;
  panel->addLayout(coordinates);
  panel->addStretch(1);
  panel->addLayout(buttons);

  auto* top = new QHBoxLayout(this);
  top->setSizeConstraint(QLayout::SetFixedSize);
  top->addWidget(Picture1, 0, Qt::AlignTop);
  top->addSpacing(8);
  top->addLayout(panel);

  connect(Picture1, &MapPicture::MouseMove, this, &frmjpmap::Picture1_MouseMove);
  connect(Picture1, &MapPicture::MouseDown, this, &frmjpmap::Picture1_MouseDown);
  connect(btndecide, &QPushButton::clicked, this, &frmjpmap::btndecide_Click);
  connect(btncancel, &QPushButton::clicked, this, &frmjpmap::btncancel_Click);
  connect(btnClose, &QPushButton::clicked, this, &frmjpmap::btnClose_Click);

  SetHeldButtonsEnabled(false);
}

void frmjpmap::ShowPoint(float x, float y) {
  const DmsTexts lon = LongitudeTexts(MapLongitude(x, mapFrame));
  lblkdo->setText(lon.degrees);
  lblkhun->setText(lon.minutes);
  lblkbyou->setText(lon.seconds);
  const DmsTexts lat = LatitudeTexts(MapLatitude(y, mapFrame));
  lblido->setText(lat.degrees);
  lblihun->setText(lat.minutes);
  lblibyou->setText(lat.seconds);
}

void frmjpmap::SetHeldButtonsEnabled(bool enabled) {
  btndecide->setEnabled(enabled);
  btncancel->setEnabled(enabled);
}

void frmjpmap::Picture1_MouseMove(int, int, float x, float y) {
  if (pointFixed == 1) return;
  ShowPoint(x, y);
  Picture1->FlashCrossHair(QPoint(MapPixel(x), MapPixel(y)));
}

void frmjpmap::Picture1_MouseDown(int button, int, float x, float y) {
  if (button == 2) {
    if (pointFixed == 1) btncancel_Click();
    return;
  }
  if (pointFixed == 1) return;
  ShowPoint(x, y);
  Picture1->DrawHeldCrossHair(QPoint(MapPixel(x), MapPixel(y)));
  pointFixed = 1;
  SetHeldButtonsEnabled(true);
}

void frmjpmap::btndecide_Click() {
  const TimeDifferenceTexts texts = DecideTimeDifference(
      lblkdo->text().toDouble(), lblkhun->text().toDouble(), lblkbyou->text().toDouble());
  emit decided(texts.minutes, texts.seconds);
  hide();
}

void frmjpmap::btncancel_Click() {
  Picture1->ClearDrawing();
  pointFixed = 0;
  SetHeldButtonsEnabled(false);
}

void frmjpmap::btnClose_Click() { hide(); }

// Each activation from within the program starts a fresh pick, but a
// cross-hair left by an earlier decision stays on the map until it is
// cancelled. Coming back from another application keeps the held point.
void frmjpmap::Form_Activate() {
  for (QLabel* label : {lblido, lblihun, lblibyou, lblkdo, lblkhun, lblkbyou}) label->clear();
  pointFixed = 0;
  SetHeldButtonsEnabled(false);
  mapFrame = MapFrame{};
  setWindowTitle(QStringLiteral("日本地図"));
  if (QScreen* shown = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(shown->availableGeometry().center());
    move(frame.topLeft());
  }
}

bool frmjpmap::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && origin_->fromProgram()) Form_Activate();
  return QWidget::event(event);
}

void frmjpmap::keyPressEvent(QKeyEvent* event) {
  // Escape leaves as Close does, deciding nothing.
  if (event->key() == Qt::Key_Escape) {
    btnClose_Click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void frmjpmap::closeEvent(QCloseEvent* event) {
  event->accept();
  hide();
  emit unloaded();
}

}  // namespace torvela::ui
