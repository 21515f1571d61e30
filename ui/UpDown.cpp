#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "InputLogic.h"

namespace torvela::ui {

UpDown::UpDown(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(maximum) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto makeButton = [this, layout](Qt::ArrowType arrow, const char* name) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    b->setFixedWidth(16);
    b->setIconSize(QSize(8, 8));
    layout->addWidget(b);
    return b;
  };
  up_ = makeButton(Qt::UpArrow, "upButton");
  down_ = makeButton(Qt::DownArrow, "downButton");
  connect(up_, &QToolButton::clicked, this, &UpDown::stepUp);
  connect(down_, &QToolButton::clicked, this, &UpDown::stepDown);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void UpDown::setBuddy(QLineEdit* buddy) {
  if (buddy_) buddy_->removeEventFilter(this);
  buddy_ = buddy;
  if (buddy_) {
    buddy_->installEventFilter(this);
    // The arrows stand beside the box at its height, one above the other.
    setFixedHeight(buddy_->sizeHint().height());
  }
}

void UpDown::stepUp() { step(+1); }
void UpDown::stepDown() { step(-1); }

void UpDown::step(int delta) {
  if (!buddy_ || !isEnabled()) return;
  const int value = SpinStep(buddy_->text(), delta, min_, max_);
  buddy_->setText(QString::number(value));
  emit stepped(value);
}

bool UpDown::wheelStep(QWheelEvent* event) {
  // One notch is 120 units; touchpads send smaller pieces that add up.
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ -= notches * 120;
  for (int i = 0; i < notches; ++i) stepUp();
  for (int i = 0; i > notches; --i) stepDown();
  event->accept();
  return true;
}

void UpDown::wheelEvent(QWheelEvent* event) { wheelStep(event); }

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  // Look at the event type first: the buddy also sends events while it is
  // being destroyed, when it must not be treated as a line edit any more.
  const QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::Wheel) && watched == buddy_ &&
      buddy_->isEnabled()) {
    if (type == QEvent::Wheel) return wheelStep(static_cast<QWheelEvent*>(event));
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace torvela::ui
