// A spin control bound to a text box: two small arrow buttons beside it.
// A step starts from the number the box holds at that moment, so a typed
// value is followed; the result is clamped and written back as text. The Up
// and Down keys in the box and the mouse wheel over it step as well.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QToolButton;

namespace torvela::ui {

class UpDown : public QWidget {
  Q_OBJECT

 public:
  UpDown(int minimum, int maximum, QWidget* parent = nullptr);

  // The text box that shows and receives the value.
  void setBuddy(QLineEdit* buddy);
  QLineEdit* buddy() const { return buddy_; }
  int minimum() const { return min_; }
  int maximum() const { return max_; }

 public slots:
  void stepUp();
  void stepDown();

 signals:
  void stepped(int value);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void step(int delta);
  bool wheelStep(QWheelEvent* event);

  int min_, max_;
  int wheelRemainder_ = 0;
  QPointer<QLineEdit> buddy_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace torvela::ui
