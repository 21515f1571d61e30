#include "PlaceBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>

namespace torvela::ui {

namespace {

bool IsNavigationKey(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

QString FromStd(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

PlaceBox::PlaceBox(QWidget* parent) : QLineEdit(parent), lstPlaces(new QTreeWidget(this)) {
  lstPlaces->setObjectName(QStringLiteral("lstPlaces"));
  lstPlaces->setWindowFlags(Qt::Popup);
  lstPlaces->setAttribute(Qt::WA_WindowPropagation);  // the box's font
  lstPlaces->setFocusPolicy(Qt::NoFocus);
  lstPlaces->setFocusProxy(this);
  lstPlaces->setMouseTracking(true);
  lstPlaces->setColumnCount(3);
  lstPlaces->setHeaderHidden(true);
  lstPlaces->setRootIsDecorated(false);
  lstPlaces->setUniformRowHeights(true);
  lstPlaces->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstPlaces->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstPlaces->setSelectionMode(QAbstractItemView::SingleSelection);
  lstPlaces->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lstPlaces->setFrameStyle(QFrame::Box | QFrame::Plain);
  lstPlaces->installEventFilter(this);

  connect(this, &QLineEdit::textEdited, this, &PlaceBox::PlaceBox_TextEdited);
  connect(lstPlaces, &QTreeWidget::itemClicked, this, &PlaceBox::lstPlaces_Click);
  // The row under the pointer is the one Enter would choose.
  connect(lstPlaces, &QTreeWidget::itemEntered, lstPlaces,
          [this](QTreeWidgetItem* item) { lstPlaces->setCurrentItem(item); });
}

PlaceBox::~PlaceBox() = default;

void PlaceBox::setGazetteer(const place::Gazetteer* gazetteer) {
  gazetteer_ = gazetteer;
  chosen_ = nullptr;
  HideSuggestions();
}

void PlaceBox::clearPlace() {
  chosen_ = nullptr;
  HideSuggestions();
  clear();
}

void PlaceBox::PlaceBox_TextEdited(const QString& text) {
  if (chosen_) {
    chosen_ = nullptr;
    emit placeCleared();
  }
  ShowSuggestions(text);
}

void PlaceBox::lstPlaces_Click(QTreeWidgetItem* item) { Choose(item); }

void PlaceBox::ShowSuggestions(const QString& query) {
  shown_.clear();
  if (gazetteer_ && !query.trimmed().isEmpty()) shown_ = gazetteer_->Search(query.toStdString(), kMaxSuggestions);
  if (shown_.empty()) {
    HideSuggestions();
    return;
  }

  lstPlaces->setUpdatesEnabled(false);
  lstPlaces->clear();
  for (const place::Place* p : shown_) {
    new QTreeWidgetItem(lstPlaces, {FromStd(p->name), FromStd(p->prefecture), FromStd(p->reading)});
  }
  lstPlaces->setCurrentItem(lstPlaces->topLevelItem(0));
  // Each column as wide as its longest text and a full-width space.
  const int gap = lstPlaces->fontMetrics().horizontalAdvance(QChar(0x3000));
  int width = 2 * lstPlaces->frameWidth();
  for (int c = 0; c < lstPlaces->columnCount(); ++c) {
    lstPlaces->resizeColumnToContents(c);
    lstPlaces->setColumnWidth(c, lstPlaces->columnWidth(c) + gap);
    width += lstPlaces->columnWidth(c);
  }
  const int rows = std::min(static_cast<int>(shown_.size()), kVisibleRows);
  if (static_cast<int>(shown_.size()) > rows) width += lstPlaces->verticalScrollBar()->sizeHint().width();
  const int height = rows * lstPlaces->sizeHintForRow(0) + 2 * lstPlaces->frameWidth();
  lstPlaces->setUpdatesEnabled(true);

  // Below the box, or above it where the screen ends.
  QPoint at = mapToGlobal(QPoint(0, this->height()));
  if (const QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    if (at.y() + height > area.bottom()) at.setY(mapToGlobal(QPoint(0, 0)).y() - height);
  }
  lstPlaces->setGeometry(QRect(at, QSize(std::max(width, this->width()), height)));
  if (!lstPlaces->isVisible()) lstPlaces->show();
}

void PlaceBox::HideSuggestions() {
  if (lstPlaces->isVisible()) lstPlaces->hide();
}

void PlaceBox::Choose(QTreeWidgetItem* item) {
  const int row = item ? lstPlaces->indexOfTopLevelItem(item) : -1;
  HideSuggestions();
  setFocus();
  if (row < 0 || row >= static_cast<int>(shown_.size())) return;
  chosen_ = shown_[static_cast<std::size_t>(row)];
  setText(FromStd(place::QualifiedName(*chosen_)));
  emit placeChosen(*chosen_);
}

void PlaceBox::choosePlace(const place::Place& place) {
  HideSuggestions();
  chosen_ = &place;
  setText(FromStd(place::QualifiedName(place)));
  emit placeChosen(place);
}

bool PlaceBox::SuggestionKey(QKeyEvent* event) {
  if (!lstPlaces->isVisible()) return false;
  switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
      Choose(lstPlaces->currentItem());
      return true;
    case Qt::Key_Escape:
      HideSuggestions();
      setFocus();
      return true;
    default:
      if (IsNavigationKey(event->key())) {
        QCoreApplication::sendEvent(lstPlaces, event);
        return true;
      }
      return false;
  }
}

void PlaceBox::keyPressEvent(QKeyEvent* event) {
  if (SuggestionKey(event)) return;
  if (event->key() == Qt::Key_Down && !lstPlaces->isVisible() && !text().isEmpty()) {
    ShowSuggestions(text());
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void PlaceBox::hideEvent(QHideEvent* event) {
  HideSuggestions();
  QLineEdit::hideEvent(event);
}

// While the list is open it has the keyboard: it keeps the keys that move in
// it and passes typing, editing and the input method's text to the box.
bool PlaceBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched != lstPlaces) return QLineEdit::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (IsNavigationKey(key->key())) return false;
      if (!SuggestionKey(key)) this->event(key);
      return true;
    }
    case QEvent::InputMethod:
    case QEvent::ShortcutOverride:
      this->event(event);
      return true;
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (!lstPlaces->rect().contains(mouse->position().toPoint())) {
        HideSuggestions();
        setFocus();
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace torvela::ui
