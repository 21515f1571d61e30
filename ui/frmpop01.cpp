#include "frmpop01.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ControlNames.h"
#include "Fonts.h"

namespace torvela::ui {

namespace {

QLabel* MakeLabel(QWidget* owner, const QString& name, const QString& text, const QFont& font,
                  Qt::Alignment align = Qt::AlignCenter) {
  auto* label = new QLabel(text, owner);
  label->setObjectName(name);
  label->setFont(font);
  label->setAlignment(align);
  return label;
}

// Gives a chart label the size its widest real content needs, fixed, so
// the window keeps one size (and its place) whatever chart it shows.
void FixCell(QLabel* label, const QString& widest, int width = 0) {
  label->setText(widest);
  const QSize need = label->sizeHint();
  label->clear();
  label->setFixedSize(qMax(width, need.width() + 4), need.height());
}

QLineEdit* MakeBox(QWidget* owner, const QString& name, int chars) {
  auto* box = new QLineEdit(owner);
  box->setObjectName(name);
  box->setReadOnly(true);
  box->setFocusPolicy(Qt::ClickFocus);  // selectable for copying, never a tab stop
  box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 12);
  return box;
}

// A control found in the main window by name; never one of the popup's own,
// which carry the same names and may sit below the main window as children.
template <typename T>
T* Source(const QWidget& mainWindow, const QWidget& popup, const QString& name) {
  for (T* found : mainWindow.findChildren<T*>(name)) {
    if (found != &popup && !popup.isAncestorOf(found)) return found;
  }
  return nullptr;
}

void CopyText(const QWidget& mainWindow, const QWidget& popup, QLineEdit* box) {
  if (const auto* from = Source<QLineEdit>(mainWindow, popup, box->objectName())) {
    box->setText(from->text());
    box->setCursorPosition(0);  // show the start of a long line
  }
}

void CopyCaption(const QWidget& mainWindow, const QWidget& popup, QLabel* label) {
  if (const auto* from = Source<QLabel>(mainWindow, popup, label->objectName())) {
    label->setText(from->text());
  }
}

void CopyCaptionAndBold(const QWidget& mainWindow, const QWidget& popup, QLabel* label) {
  if (const auto* from = Source<QLabel>(mainWindow, popup, label->objectName())) {
    label->setText(from->text());
    QFont font = label->font();
    font.setBold(from->font().bold());
    label->setFont(font);
  }
}

// Decoration n (1..11), from its @2x file on high-density screens; null
// when the picture is missing.
QPixmap Decoration(int n, qreal dpr) {
  const QString base = QStringLiteral(":/images/deco%1").arg(n, 2, 10, QLatin1Char('0'));
  QPixmap pixmap;
  if (dpr > 1.0 && pixmap.load(base + QStringLiteral("@2x.png"))) {
    pixmap.setDevicePixelRatio(2.0);
  } else {
    pixmap.load(base + QStringLiteral(".png"));
  }
  return pixmap;
}

QFrame* Panel(QWidget* owner) {
  auto* frame = new QFrame(owner);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);
  return frame;
}

}  // namespace

frmpop01::frmpop01(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmpop01"));
  setWindowTitle(QStringLiteral("TorvelaPopUp"));
  // The close box discards the copy; Close only hides it.
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(GothicFont(11));

  const QFont pillar = PGothicFont(12, true);
  const QFont luck = PGothicFont(12, false);
  const QFont age = GothicFont(12);

  // Birthday line and sex.
  auto* Label7 = MakeLabel(this, QStringLiteral("Label7"), QStringLiteral("誕生日："), font(),
                           Qt::AlignRight | Qt::AlignVCenter);
  txtBirthday = MakeBox(this, QStringLiteral("txtBirthday"), 34);
  auto* Label11 = MakeLabel(this, QStringLiteral("Label11"), QStringLiteral("性別："), font(),
                            Qt::AlignRight | Qt::AlignVCenter);
  txtMW = MakeBox(this, QStringLiteral("txtMW"), 2);
  txtMW->setAlignment(Qt::AlignCenter);
  txtMW->setMaximumWidth(txtMW->minimumWidth() + 8);
  auto* top = new QHBoxLayout;
  top->addWidget(Label7);
  top->addWidget(txtBirthday, 1);
  top->addSpacing(12);
  top->addWidget(Label11);
  top->addWidget(txtMW);

  // Pillars, right to left: year, month, day, hour; stems above branches.
  auto* pillars = Panel(this);
  auto* pillarGrid = new QGridLayout(pillars);
  pillarGrid->setHorizontalSpacing(14);
  pillarGrid->setVerticalSpacing(2);
  const std::array<std::pair<const char*, const char*>, 4> columns = {
      {{"hKan", "hShi"}, {"dKan", "dShi"}, {"mKan", "mShi"}, {"yKan", "yShi"}}};
  std::array<QLabel*, 8> pillarLabels{};
  for (int c = 0; c < 4; ++c) {
    pillarLabels[2 * c] = MakeLabel(pillars, QLatin1String(columns[c].first), QString(), pillar);
    pillarLabels[2 * c + 1] = MakeLabel(pillars, QLatin1String(columns[c].second), QString(), pillar);
    FixCell(pillarLabels[2 * c], QStringLiteral("甲"), 26);
    FixCell(pillarLabels[2 * c + 1], QStringLiteral("子"), 26);
    pillarGrid->addWidget(pillarLabels[2 * c], 0, c);
    pillarGrid->addWidget(pillarLabels[2 * c + 1], 1, c);
  }
  hKan = pillarLabels[0];
  hShi = pillarLabels[1];
  dKan = pillarLabels[2];
  dShi = pillarLabels[3];
  mKan = pillarLabels[4];
  mShi = pillarLabels[5];
  yKan = pillarLabels[6];
  yShi = pillarLabels[7];
  // The element in season under the month column reads with 旺, as 木旺.
  lblOu = MakeLabel(pillars, QStringLiteral("lblOu"), QString(), age);
  FixCell(lblOu, QStringLiteral("木"), 26);
  auto* Label12 = MakeLabel(pillars, QStringLiteral("Label12"), QStringLiteral("旺"), age);
  pillarGrid->setRowMinimumHeight(2, 6);
  pillarGrid->addWidget(lblOu, 3, 2);
  pillarGrid->addWidget(Label12, 4, 2);

  // Sun's longitude, great-luck start and change, present age.
  auto* facts = new QGridLayout;
  facts->setVerticalSpacing(4);
  auto* Label8 = MakeLabel(this, QStringLiteral("Label8"), QStringLiteral("視黄経："), font(),
                           Qt::AlignRight | Qt::AlignVCenter);
  auto* Label9 = MakeLabel(this, QStringLiteral("Label9"), QStringLiteral("大運交替："), font(),
                           Qt::AlignRight | Qt::AlignVCenter);
  auto* Label10 = MakeLabel(this, QStringLiteral("Label10"), QStringLiteral("交替年月："), font(),
                            Qt::AlignRight | Qt::AlignVCenter);
  txtKoukei = MakeBox(this, QStringLiteral("txtKoukei"), 17);
  txtKoutai = MakeBox(this, QStringLiteral("txtKoutai"), 17);
  txtKoutaiYM = MakeBox(this, QStringLiteral("txtKoutaiYM"), 8);
  txtAge = MakeBox(this, QStringLiteral("txtAge"), 3);
  txtAge->setAlignment(Qt::AlignRight);
  txtAge->setMaximumWidth(txtAge->minimumWidth() + 8);
  auto* Label13 = MakeLabel(this, QStringLiteral("Label13"), QStringLiteral("満"), font());
  auto* Label14 = MakeLabel(this, QStringLiteral("Label14"), QStringLiteral("歳"), font());
  auto* ageRow = new QHBoxLayout;
  ageRow->addWidget(txtKoutaiYM, 1);
  ageRow->addSpacing(8);
  ageRow->addWidget(Label13);
  ageRow->addWidget(txtAge);
  ageRow->addWidget(Label14);
  facts->addWidget(Label8, 0, 0);
  facts->addWidget(txtKoukei, 0, 1);
  facts->addWidget(Label9, 1, 0);
  facts->addWidget(txtKoutai, 1, 1);
  facts->addWidget(Label10, 2, 0);
  facts->addLayout(ageRow, 2, 1);
  facts->setRowStretch(3, 1);

  auto* middle = new QHBoxLayout;
  middle->addWidget(pillars);
  middle->addSpacing(12);
  middle->addLayout(facts, 1);

  // Great luck: eleven equal columns, index 0 at the right; each shows its
  // from-age (none for column 0), to-age, stem and branch, under a
  // decoration. The caption 大運 stands at the right.
  auto* luckPanel = Panel(this);
  auto* luckGrid = new QGridLayout(luckPanel);
  luckGrid->setHorizontalSpacing(6);
  luckGrid->setVerticalSpacing(2);
  for (int i = 0; i < 11; ++i) {
    const int col = 10 - i;
    dun_kan[i] = MakeLabel(luckPanel, Indexed("dun_kan", i), QString(), luck);
    dun_shi[i] = MakeLabel(luckPanel, Indexed("dun_shi", i), QString(), luck);
    sai2[i] = MakeLabel(luckPanel, Indexed("sai2", i), QString(), age);
    if (i < 10) {
      sai1[i] = MakeLabel(luckPanel, Indexed("sai1", i), QString(), age);
      luckGrid->addWidget(sai1[i], 1, col - 1);  // from-age of column i + 1
    }
    luckGrid->addWidget(sai2[i], 2, col);
    luckGrid->addWidget(dun_kan[i], 3, col);
    luckGrid->addWidget(dun_shi[i], 4, col);
    // Columns as wide as a three-digit age, every one the same.
    const QString widestAge = QStringLiteral("100");
    FixCell(sai2[i], widestAge);
    FixCell(dun_kan[i], QStringLiteral("甲"), sai2[i]->width());
    FixCell(dun_shi[i], QStringLiteral("子"), sai2[i]->width());
    if (i < 10) FixCell(sai1[i], widestAge);

    auto* picture = new QLabel(luckPanel);
    picture->setObjectName(QStringLiteral("Picture%1").arg(i + 1));
    picture->setFixedSize(17, 17);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(Decoration(i + 1, devicePixelRatioF()));
    Picture[i] = picture;
    luckGrid->addWidget(picture, 0, i, Qt::AlignCenter);
  }
  auto* Label15 = MakeLabel(luckPanel, QStringLiteral("Label15"), QStringLiteral("大"), age);
  auto* Label16 = MakeLabel(luckPanel, QStringLiteral("Label16"), QStringLiteral("運"), age);
  luckGrid->setColumnMinimumWidth(11, 10);
  luckGrid->addWidget(Label15, 3, 12);
  luckGrid->addWidget(Label16, 4, 12);

  Command1 = new QPushButton(QStringLiteral("Close"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &frmpop01::Command1_Click);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(Command1);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(8);
  layout->addLayout(top);
  layout->addLayout(middle);
  layout->addWidget(luckPanel);
  layout->addLayout(bottom);

  Form_Load();
}

void frmpop01::Form_Load() {
  // Centre on the size the window will show with, style and all, and with
  // its frame where the platform already knows it.
  ensurePolished();
  adjustSize();
  winId();
  QRect frame = frameGeometry();
  frame.moveCenter(screen()->availableGeometry().center());
  move(frame.topLeft());
}

void frmpop01::Command1_Click() { hide(); }

void frmpop01::CopyFrom(const QWidget& mainWindow, bool male) {
  for (QLineEdit* box : {txtBirthday, txtKoutai, txtKoutaiYM, txtKoukei, txtAge}) {
    CopyText(mainWindow, *this, box);
  }
  for (QLabel* label : {yKan, yShi, mKan, mShi, dKan, dShi, hKan, hShi, lblOu}) {
    CopyCaption(mainWindow, *this, label);
  }
  for (QLabel* label : sai1) CopyCaption(mainWindow, *this, label);
  for (QLabel* label : sai2) CopyCaption(mainWindow, *this, label);
  for (QLabel* label : dun_kan) CopyCaptionAndBold(mainWindow, *this, label);
  for (QLabel* label : dun_shi) CopyCaptionAndBold(mainWindow, *this, label);
  txtMW->setText(male ? QStringLiteral("男") : QStringLiteral("女"));
}

frmpop01* ShowPopup(QPointer<frmpop01>& popup, QWidget& mainWindow, bool male) {
  if (!popup) popup = new frmpop01(&mainWindow);
  popup->show();
  popup->raise();
  popup->activateWindow();
  popup->CopyFrom(mainWindow, male);
  return popup;
}

}  // namespace torvela::ui
