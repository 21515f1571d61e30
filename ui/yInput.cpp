#include "yInput.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "Fonts.h"
#include "InputLogic.h"

namespace torvela::ui {

namespace {
constexpr int kColumns = 3;
constexpr int kVisibleRows = 10;
}  // namespace

yInput::yInput(Module2& module)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), module_(module) {
  setObjectName(QStringLiteral("yInput"));
  setWindowTitle(QStringLiteral("年入力"));
  setFont(GothicFont(11));

  // Enter presses the focused button, as Space does; elsewhere it decides.
  auto makeButton = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(true);
    return b;
  };
  y1800 = makeButton("y1800", QStringLiteral("1800年代"));
  y1900 = makeButton("y1900", QStringLiteral("1900年代"));
  y2000 = makeButton("y2000", QStringLiteral("2000年代"));
  btnSlok = makeButton("btnSlok", QStringLiteral("決定"));
  btnSlok->setDefault(true);

  // Years flow left to right in three fixed columns, read row by row.
  List1 = new QListWidget(this);
  List1->setObjectName(QStringLiteral("List1"));
  List1->setViewMode(QListView::ListMode);
  List1->setFlow(QListView::LeftToRight);
  List1->setWrapping(true);
  List1->setResizeMode(QListView::Adjust);
  List1->setMovement(QListView::Static);
  List1->setUniformItemSizes(true);
  List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  List1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  const QFontMetrics fm(List1->font());
  const QSize cell(fm.horizontalAdvance(QStringLiteral("0000")) + 2 * fm.averageCharWidth() + 8,
                   fm.height() + 6);
  List1->setGridSize(cell);
  // A little slack: the view wraps a row that would end exactly at its edge.
  const int frame = 2 * List1->frameWidth() + 4;
  List1->setFixedSize(kColumns * cell.width() + frame + List1->verticalScrollBar()->sizeHint().width(),
                      kVisibleRows * cell.height() + frame);

  lblSelect_y = new QLabel(this);
  lblSelect_y->setObjectName(QStringLiteral("lblSelect_y"));
  lblSelect_y->setFont(GothicFont(14, true));
  lblSelect_y->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblSelect_y->setMinimumWidth(QFontMetrics(lblSelect_y->font()).horizontalAdvance(QStringLiteral("00000")));
  lblSelect_y->setFrameShape(QFrame::StyledPanel);
  lblSelect_y->setFrameShadow(QFrame::Sunken);
  lstSelyear = new QLabel(QStringLiteral("年"), this);
  lstSelyear->setObjectName(QStringLiteral("lstSelyear"));

  auto* centuries = new QVBoxLayout;
  centuries->addWidget(y1800);
  centuries->addWidget(y1900);
  centuries->addWidget(y2000);
  centuries->addStretch(1);

  auto* choice = new QHBoxLayout;
  choice->addStretch(1);
  choice->addWidget(lblSelect_y);
  choice->addWidget(lstSelyear);
  choice->addSpacing(12);
  choice->addWidget(btnSlok);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(10);
  grid->addLayout(centuries, 0, 0);
  grid->addWidget(List1, 0, 1);
  grid->addLayout(choice, 1, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(y1800, &QPushButton::clicked, this, &yInput::y1800_Click);
  connect(y1900, &QPushButton::clicked, this, &yInput::y1900_Click);
  connect(y2000, &QPushButton::clicked, this, &yInput::y2000_Click);
  // A year is picked by selecting it: a click, the arrow keys or typing.
  // Tabbing into the list only puts its cursor on the first year.
  connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
    const QList<QListWidgetItem*> picked = List1->selectedItems();
    if (!picked.isEmpty()) List1_Click(picked.front());
  });
  // A double click picks and decides at once.
  connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    List1_Click(item);
    btnSlok_Click();
  });
  connect(btnSlok, &QPushButton::clicked, this, &yInput::btnSlok_Click);
}

void yInput::Open() {
  if (!loaded_) Form_Load();
  show();
  raise();
  activateWindow();
}

void yInput::Decide(int year) {
  const int century = year >= 2000 ? 2000 : year >= 1900 ? 1900 : 1800;
  const YearRange range = CenturyYears(century);
  if (year < range.first || year > range.last) return;
  if (!loaded_) Form_Load();
  FillYears(century);
  const QList<QListWidgetItem*> items = List1->findItems(QString::number(year), Qt::MatchExactly);
  if (items.size() != 1) return;
  List1->setCurrentItem(items.front());
  btnSlok_Click();
}

void yInput::Form_Load() {
  loaded_ = true;
  y1900_Click();
  lblSelect_y->setText(BirthPartText(module_.BirthYear));
  adjustSize();
  winId();  // the native window knows its frame, which is what gets centred
  const QScreen* s = screen();
  if (s) {
    QRect r = frameGeometry();
    r.moveCenter(s->availableGeometry().center());
    move(r.topLeft());
  }
}

void yInput::FillYears(int century) {
  const YearRange range = CenturyYears(century);
  filling_ = true;
  List1->clear();
  for (const QString& year : NumberItems(range.first, range.last)) {
    auto* item = new QListWidgetItem(year, List1);
    item->setTextAlignment(Qt::AlignCenter);
  }
  filling_ = false;
  List1->scrollToTop();
}

void yInput::y1800_Click() { FillYears(1800); }
void yInput::y1900_Click() { FillYears(1900); }
void yInput::y2000_Click() { FillYears(2000); }

void yInput::List1_Click(QListWidgetItem* item) {
  if (filling_ || !item) return;
  lblSelect_y->setText(item->text());
}

void yInput::btnSlok_Click() {
  emit released();
  if (lblSelect_y->text().isEmpty()) return;
  module_.BirthYear = PickedValue(lblSelect_y->text());
  hide();
  emit decided();
}

void yInput::closeEvent(QCloseEvent* event) {
  // Closing the picker by its close box cancels: the main window must not
  // stay locked with nothing left to free it.
  emit released();
  event->accept();
}

void yInput::keyPressEvent(QKeyEvent* event) {
  // Escape cancels like the close box; Return decides like a dialog's default.
  if (event->key() == Qt::Key_Escape) {
    close();
  } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    btnSlok_Click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace torvela::ui
