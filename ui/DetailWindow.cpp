#include "DetailWindow.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <string_view>

#include "ControlNames.h"
#include "ElementBars.h"
#include "Fonts.h"

namespace torvela::ui {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// Lines of one stacked cell: hidden stems and their stars, one a line.
QString Lines(const std::vector<std::string>& items) {
  QStringList lines;
  for (const std::string& item : items) lines << Q(item);
  return lines.join(QLatin1Char('\n'));
}

QLabel* MakeLabel(QWidget* owner, const QString& name, const QFont& font,
                  Qt::Alignment align = Qt::AlignCenter) {
  auto* label = new QLabel(owner);
  label->setObjectName(name);
  label->setFont(font);
  label->setAlignment(align);
  return label;
}

// Fixes a cell at the size its widest content needs, so the window keeps
// one size whatever reading it shows.
void FixCell(QLabel* label, const QString& widest) {
  label->setText(widest);
  const QSize need = label->sizeHint();
  label->clear();
  label->setFixedSize(need.width() + 10, need.height() + 2);
}

}  // namespace

DetailWindow::DetailWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("DetailWindow"));
  setWindowTitle(Q(reading::DetailTitle));
  setFont(GothicFont(11));

  const QFont cell = GothicFont(11);
  const QFont pillar = PGothicFont(18, true);
  const QFont heading = GothicFont(11, true);
  const QFont small = GothicFont(9);

  // The table: row headings at the left, one column a pillar.
  auto* table = new QFrame(this);
  table->setFrameShape(QFrame::StyledPanel);
  table->setFrameShadow(QFrame::Sunken);
  auto* grid = new QGridLayout(table);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  using reading::Row;
  const auto gridRow = [](Row r) { return static_cast<int>(r) + 1; };
  for (int r = 0; r < reading::RowCount; ++r) {
    auto* rowHeading = MakeLabel(table, QStringLiteral("lblRow_%1").arg(r), heading,
                                 Qt::AlignRight | Qt::AlignVCenter);
    rowHeading->setText(Q(reading::RowHeadings[r]));
    grid->addWidget(rowHeading, r + 1, 0);
  }
  for (int c = 0; c < reading::PillarCount; ++c) {
    const reading::Pillar p = reading::DisplayOrder[c];
    lblHeading[c] = MakeLabel(table, Indexed("lblHeading", c), heading);
    lblHeading[c]->setText(Q(reading::PillarHeadings[p]));
    lblTenGod[c] = MakeLabel(table, Indexed("lblTenGod", c), cell);
    lblStem[c] = MakeLabel(table, Indexed("lblStem", c), pillar);
    lblBranch[c] = MakeLabel(table, Indexed("lblBranch", c), pillar);
    lblVoid[c] = MakeLabel(table, Indexed("lblVoid", c), small);
    lblHidden[c] = MakeLabel(table, Indexed("lblHidden", c), cell);
    lblHiddenTenGod[c] = MakeLabel(table, Indexed("lblHiddenTenGod", c), cell);
    lblStage[c] = MakeLabel(table, Indexed("lblStage", c), cell);
    lblNayin[c] = MakeLabel(table, Indexed("lblNayin", c), cell);
    lblVoid[c]->setStyleSheet(QStringLiteral("color: #c0302a;"));

    FixCell(lblTenGod[c], QStringLiteral("偏財"));
    FixCell(lblStem[c], QStringLiteral("甲"));
    FixCell(lblBranch[c], QStringLiteral("子"));
    FixCell(lblVoid[c], Q(reading::VoidMark));
    FixCell(lblHidden[c], QStringLiteral("甲\n丙\n戊"));
    FixCell(lblHiddenTenGod[c], QStringLiteral("偏官\n偏印\n比肩"));
    FixCell(lblStage[c], QStringLiteral("帝旺"));
    FixCell(lblNayin[c], QStringLiteral("海中金"));

    // A branch and, under it, its 空亡 mark share one cell.
    auto* branchCell = new QVBoxLayout;
    branchCell->setSpacing(0);
    branchCell->addWidget(lblBranch[c], 0, Qt::AlignHCenter);
    branchCell->addWidget(lblVoid[c], 0, Qt::AlignHCenter);

    const int col = c + 1;
    grid->addWidget(lblHeading[c], 0, col);
    grid->addWidget(lblTenGod[c], gridRow(Row::TenGod), col, Qt::AlignHCenter);
    grid->addWidget(lblStem[c], gridRow(Row::Stem), col, Qt::AlignHCenter);
    grid->addLayout(branchCell, gridRow(Row::Branch), col);
    grid->addWidget(lblHidden[c], gridRow(Row::Hidden), col, Qt::AlignHCenter);
    grid->addWidget(lblHiddenTenGod[c], gridRow(Row::HiddenTenGod), col, Qt::AlignHCenter);
    grid->addWidget(lblStage[c], gridRow(Row::Stage), col, Qt::AlignHCenter);
    grid->addWidget(lblNayin[c], gridRow(Row::Nayin), col, Qt::AlignHCenter);
  }

  lblDayMaster = MakeLabel(this, QStringLiteral("lblDayMaster"), heading,
                           Qt::AlignLeft | Qt::AlignVCenter);
  lblDayVoid = MakeLabel(this, QStringLiteral("lblDayVoid"), cell, Qt::AlignLeft | Qt::AlignVCenter);
  lblYearVoid = MakeLabel(this, QStringLiteral("lblYearVoid"), cell, Qt::AlignLeft | Qt::AlignVCenter);
  auto* voidRow = new QHBoxLayout;
  voidRow->addWidget(lblDayVoid);
  voidRow->addSpacing(16);
  voidRow->addWidget(lblYearVoid);
  voidRow->addStretch(1);

  // Five elements and polarity.
  auto* elements = new QGroupBox(Q(reading::ElementHeading), this);
  elements->setObjectName(QStringLiteral("grpElements"));
  picElements = new ElementBars(elements);
  picElements->setObjectName(QStringLiteral("picElements"));
  auto* legend = MakeLabel(elements, QStringLiteral("lblElementLegend"), small,
                           Qt::AlignLeft | Qt::AlignVCenter);
  legend->setText(Q(reading::EightCharactersCaption) + QStringLiteral("（") +
                  Q(reading::WithMainHiddenCaption) + QStringLiteral("）"));
  lblYinYang = MakeLabel(elements, QStringLiteral("lblYinYang"), cell,
                         Qt::AlignRight | Qt::AlignVCenter);
  auto* elementFoot = new QHBoxLayout;
  elementFoot->addWidget(legend);
  elementFoot->addStretch(1);
  elementFoot->addWidget(lblYinYang);
  auto* elementBox = new QVBoxLayout(elements);
  elementBox->addWidget(picElements);
  elementBox->addLayout(elementFoot);

  // Yearly luck.
  grpYearLuck = new QGroupBox(Q(reading::YearlyLuckHeading), this);
  grpYearLuck->setObjectName(QStringLiteral("grpYearLuck"));
  tblYearLuck = new QTableWidget(0, static_cast<int>(reading::YearlyLuckColumns.size()), grpYearLuck);
  tblYearLuck->setObjectName(QStringLiteral("tblYearLuck"));
  QStringList headers;
  for (std::string_view h : reading::YearlyLuckColumns) headers << Q(h);
  tblYearLuck->setHorizontalHeaderLabels(headers);
  tblYearLuck->verticalHeader()->hide();
  tblYearLuck->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblYearLuck->setSelectionMode(QAbstractItemView::NoSelection);
  tblYearLuck->setFocusPolicy(Qt::NoFocus);
  tblYearLuck->setShowGrid(false);
  tblYearLuck->setAlternatingRowColors(true);
  tblYearLuck->setFont(cell);
  tblYearLuck->horizontalHeader()->setFont(heading);
  tblYearLuck->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  const int rowHeight = tblYearLuck->fontMetrics().height() + 6;
  tblYearLuck->verticalHeader()->setDefaultSectionSize(rowHeight);
  // Room for the longest column (eleven years) without a scroll bar.
  tblYearLuck->setMinimumSize(tblYearLuck->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 34,
                              rowHeight * (reading::MaxLuckYears + 1) + 8);
  tblYearLuck->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  tblYearLuck->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* luckBox = new QVBoxLayout(grpYearLuck);
  luckBox->addWidget(tblYearLuck);

  btnClose = new QPushButton(QStringLiteral("閉じる"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  connect(btnClose, &QPushButton::clicked, this, &DetailWindow::btnClose_Click);

  auto* left = new QVBoxLayout;
  left->addWidget(lblDayMaster);
  left->addWidget(table);
  left->addLayout(voidRow);
  left->addWidget(elements);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(grpYearLuck);
  right->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addSpacing(8);
  columns->addLayout(right, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(btnClose);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(columns);
  outer->addLayout(bottom);

  Clear();
}

void DetailWindow::Show(const reading::ReadingTexts& t) {
  lblDayMaster->setText(Q(reading::DayMasterText) + QStringLiteral("　") + Q(t.dayMaster));
  for (int c = 0; c < reading::PillarCount; ++c) {
    const reading::Pillar p = reading::DisplayOrder[c];
    lblTenGod[c]->setText(Q(t.tenGods[p]));
    lblStem[c]->setText(Q(t.stems[p]));
    lblBranch[c]->setText(Q(t.branches[p]));
    lblVoid[c]->setText(t.inDayVoid[p] ? Q(reading::VoidMark) : QString());
    lblHidden[c]->setText(Lines(t.hiddenStems[p]));
    lblHiddenTenGod[c]->setText(Lines(t.hiddenStemTenGods[p]));
    lblStage[c]->setText(Q(t.twelveStages[p]));
    lblNayin[c]->setText(Q(t.nayin[p]));
  }
  lblDayVoid->setText(Q(reading::DayVoidHeading) + QStringLiteral("　") + Q(t.voidBranches.day));
  lblYearVoid->setText(Q(reading::YearVoidHeading) + QStringLiteral("　") +
                       Q(t.voidBranches.year));
  picElements->SetCounts(t.elementCounts.of, t.elementCountsWithMainHiddenStems.of);
  lblYinYang->setText(Q(reading::YinYangHeading) + QStringLiteral("　") +
                      Q(reading::YinYangText(t.yinYang)));

  grpYearLuck->setTitle(Q(reading::YearlyLuckTitle(t.yearlyLuck)));
  const auto& years = t.yearlyLuck.years;
  tblYearLuck->setRowCount(static_cast<int>(years.size()));
  for (int r = 0; r < static_cast<int>(years.size()); ++r) {
    const reading::YearLuckTexts& y = years[static_cast<std::size_t>(r)];
    const QString cells[] = {Q(reading::YearText(y.year)), Q(y.pillar), Q(y.tenGod),
                             Q(y.twelveStage), Q(reading::AgeText(y.age))};
    QFont font = tblYearLuck->font();
    font.setBold(y.current);
    for (int c = 0; c < 5; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment(Qt::AlignCenter);
      item->setFont(font);
      tblYearLuck->setItem(r, c, item);
    }
  }
}

void DetailWindow::Clear() {
  lblDayMaster->clear();
  for (const Column* column : {&lblTenGod, &lblStem, &lblBranch, &lblVoid, &lblHidden,
                               &lblHiddenTenGod, &lblStage, &lblNayin})
    for (QLabel* label : *column) label->clear();
  lblDayVoid->clear();
  lblYearVoid->clear();
  picElements->Clear();
  lblYinYang->clear();
  grpYearLuck->setTitle(Q(reading::YearlyLuckHeading));
  tblYearLuck->setRowCount(0);
}

void DetailWindow::btnClose_Click() { hide(); }

void DetailWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    btnClose_Click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

QString DetailWindowTitle(const QString& birthday, bool male, const QString& place, bool copy) {
  return Q(reading::DetailTitle) + (copy ? QStringLiteral("（POP）") : QString()) +
         QStringLiteral("　") + birthday + QStringLiteral("・") +
         (male ? QStringLiteral("男") : QStringLiteral("女")) +
         (place.isEmpty() ? QString() : QStringLiteral("・") + place);
}

}  // namespace torvela::ui
