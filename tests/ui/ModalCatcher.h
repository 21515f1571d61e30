// Closes the next modal message box with OK once it is up, remembering its
// title, text and which other windows were showing meanwhile. A polling
// timer, because the box runs its own event loop.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

class ModalCatcher : public QObject {
 public:
  ModalCatcher() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top != box && top->isVisible()) othersShown << top->objectName();
      box->button(QMessageBox::Ok)->click();
    });
    timer_.start(10);
  }
  QString title, text;
  QStringList othersShown;

 private:
  QTimer timer_;
};
