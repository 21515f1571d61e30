#include "PeopleWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "Ask.h"
#include "ControlNames.h"

namespace torvela::ui {

PeopleWindow::PeopleWindow(QWidget* parent) : QWidget(parent, Qt::Window), model_(new PeopleModel(this)) {
  setObjectName(QStringLiteral("PeopleWindow"));
  setWindowTitle(QStringLiteral("名簿"));

  txtSearch = Named(new QLineEdit(this), "txtSearch");
  txtSearch->setPlaceholderText(QStringLiteral("名前かよみで検索"));
  txtSearch->setClearButtonEnabled(true);
  auto* searchLabel = Named(new QLabel(QStringLiteral("検索(&S)："), this), "lblSearch");
  searchLabel->setBuddy(txtSearch);

  lstPeople = Named(new QTableView(this), "lstPeople");
  lstPeople->setModel(model_);
  lstPeople->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstPeople->setSelectionMode(QAbstractItemView::SingleSelection);
  lstPeople->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstPeople->setTabKeyNavigation(false);
  lstPeople->setWordWrap(false);
  lstPeople->verticalHeader()->hide();
  const QFontMetrics metrics = lstPeople->fontMetrics();
  lstPeople->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);
  // Widths from the widest texts a column holds, not from measuring every
  // row, which would cost too much at thousands of people.
  auto* header = lstPeople->horizontalHeader();
  header->setHighlightSections(false);
  header->setSectionResizeMode(PeopleModel::Name, QHeaderView::Stretch);
  const std::pair<PeopleModel::Column, QString> widest[] = {
      {PeopleModel::Reading, QStringLiteral("わたなべ しょうたろう")},
      {PeopleModel::Birth, QStringLiteral("2000年12月30日出生時間不明")},
      {PeopleModel::Sex, QStringLiteral("性別")},
      {PeopleModel::Place, QStringLiteral("北海道札幌市中央区")},
      {PeopleModel::Updated, QStringLiteral("2026/12/30 00:00")},
  };
  for (const auto& [column, text] : widest) header->resizeSection(column, metrics.horizontalAdvance(text) + 16);
  lstPeople->setSortingEnabled(true);
  lstPeople->sortByColumn(PeopleModel::Name, Qt::AscendingOrder);
  lstPeople->installEventFilter(this);
  txtSearch->installEventFilter(this);

  lblStatus = Named(new QLabel(this), "lblStatus");
  lblStatus->setWordWrap(true);
  btnOpen = Named(new QPushButton(QStringLiteral("開く"), this), "btnOpen");
  btnDelete = Named(new QPushButton(QStringLiteral("削除"), this), "btnDelete");
  btnClose = Named(new QPushButton(QStringLiteral("閉じる"), this), "btnClose");
  for (QPushButton* b : {btnOpen, btnDelete, btnClose}) b->setAutoDefault(false);

  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(searchLabel);
  searchRow->addWidget(txtSearch, 1);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addWidget(lblStatus, 1);
  buttonRow->addWidget(btnOpen);
  buttonRow->addWidget(btnDelete);
  buttonRow->addWidget(btnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(searchRow);
  layout->addWidget(lstPeople, 1);
  layout->addLayout(buttonRow);
  resize(metrics.horizontalAdvance(QLatin1Char('0')) * 110, metrics.height() * 26);

  connect(txtSearch, &QLineEdit::textChanged, this, &PeopleWindow::txtSearch_TextChanged);
  connect(lstPeople, &QTableView::doubleClicked, this, &PeopleWindow::lstPeople_DoubleClick);
  connect(btnOpen, &QPushButton::clicked, this, &PeopleWindow::btnOpen_Click);
  connect(btnDelete, &QPushButton::clicked, this, &PeopleWindow::btnDelete_Click);
  connect(btnClose, &QPushButton::clicked, this, &PeopleWindow::btnClose_Click);
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    SelectRow(0);
    ShowCount();
  });
  Unavailable(QStringLiteral("名簿が開かれていません。"));
}

void PeopleWindow::SetStore(store::Store* store, const QString& problem) {
  store_ = store;
  if (!store_) {
    Unavailable(problem.isEmpty() ? QStringLiteral("名簿が開かれていません。") : problem);
    return;
  }
  Reload();
}

void PeopleWindow::Reload() {
  if (!store_) return;
  auto people = store_->List();
  if (!people) {
    Unavailable(people.error().message);
    return;
  }
  for (QWidget* w : std::initializer_list<QWidget*>{txtSearch, lstPeople}) w->setEnabled(true);
  model_->SetPeople(std::move(*people));
}

void PeopleWindow::Unavailable(const QString& problem) {
  model_->SetPeople({});
  for (QWidget* w : std::initializer_list<QWidget*>{txtSearch, lstPeople, btnOpen, btnDelete}) w->setEnabled(false);
  lblStatus->setText(problem);
}

void PeopleWindow::ShowCount() {
  if (!lstPeople->isEnabled()) return;
  const int shown = model_->rowCount(), total = model_->TotalCount();
  lblStatus->setText(shown == total ? QStringLiteral("%1人").arg(total)
                                    : QStringLiteral("%1人中 %2人").arg(total).arg(shown));
  btnOpen->setEnabled(shown > 0);
  btnDelete->setEnabled(shown > 0);
}

void PeopleWindow::SelectRow(int row) {
  if (row >= model_->rowCount()) row = model_->rowCount() - 1;
  if (row < 0) return;
  lstPeople->setCurrentIndex(model_->index(row, 0));
  lstPeople->scrollTo(lstPeople->currentIndex());
}

const store::Person* PeopleWindow::Current() const {
  const QModelIndex current = lstPeople->currentIndex();
  if (!lstPeople->isEnabled() || !current.isValid()) return nullptr;
  return &model_->PersonAt(current.row());
}

void PeopleWindow::txtSearch_TextChanged(const QString& text) { model_->SetSearch(text); }

void PeopleWindow::lstPeople_DoubleClick(const QModelIndex& index) {
  if (index.isValid()) btnOpen_Click();
}

void PeopleWindow::btnOpen_Click() {
  const store::Person* person = Current();
  if (!person) return;
  const store::Person chosen = *person;  // the model may change under the receivers
  const QPointer<PeopleWindow> self(this);
  emit personChosen(chosen);
  if (self) close();
}

void PeopleWindow::btnDelete_Click() {
  const store::Person* person = Current();
  if (!person || !store_) return;
  const store::Person doomed = *person;
  const int row = lstPeople->currentIndex().row();
  if (!Ask(this, {.objectName = QStringLiteral("askDelete"),
                  .title = QStringLiteral("名簿"),
                  .text = QStringLiteral("「%1」を名簿から削除しますか？\n削除すると元に戻せません。").arg(doomed.name),
                  .informative = {},
                  .detailed = {},
                  .yes = QStringLiteral("削除する"),
                  .no = QStringLiteral("やめる"),
                  .yesRole = QMessageBox::DestructiveRole}))
    return;
  if (auto removed = store_->Remove(doomed.id); !removed) {
    QMessageBox::warning(this, QStringLiteral("名簿"), removed.error().message);
    if (removed.error().problem != store::Problem::NotFound) return;
  }
  Reload();
  SelectRow(row);
}

void PeopleWindow::btnClose_Click() { close(); }

bool PeopleWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    btnOpen_Click();
    return true;
  }
  if (watched == lstPeople && key == Qt::Key_Delete) {
    btnDelete_Click();
    return true;
  }
  // Up and down in the search box move through the list.
  if (watched == txtSearch && (key == Qt::Key_Down || key == Qt::Key_Up)) {
    SelectRow(qMax(0, lstPeople->currentIndex().row() + (key == Qt::Key_Down ? 1 : -1)));
    return true;
  }
  if (key == Qt::Key_Escape) {
    close();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace torvela::ui
