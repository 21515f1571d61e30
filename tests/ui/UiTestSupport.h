// Helpers shared by the window tests: a main window loaded with a fixed
// "now", picks made the way a user's arrive, and a catcher for modal boxes.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "mainform01.h"
#include "yInput.h"

namespace uitest {

using torvela::Module2;
using torvela::ui::mainform01;

inline const torvela::chart::LocalTime kNow{2026, 12, 6, 12, 0};

inline std::filesystem::path DataDir() { return QCoreApplication::applicationDirPath().toStdString(); }

inline QStringList Numbers(int first, int last) {
  QStringList items;
  for (int n = first; n <= last; ++n) items << QString::number(n);
  return items;
}

// A user's pick: the shown text changes, then the activation follows (a
// click into the popup list right after opening it would be ignored).
inline void Pick(QComboBox* list, const QString& text) {
  const int index = list->findText(text);
  QVERIFY2(index >= 0, qPrintable(list->objectName() + QStringLiteral(": no item ") + text));
  QVERIFY(list->isEnabled());
  list->setCurrentIndex(index);
  emit list->activated(index);
}

// Closes the next modal message box with OK once it is up, remembering what
// it showed and which other windows were showing meanwhile. A polling timer,
// because the box runs its own event loop.
class ModalCatcher : public QObject {
 public:
  ModalCatcher() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      buttons = int(box->buttons().size());
      icon = box->icon();
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top != box && top->isVisible()) othersShown << top->objectName();
      box->button(QMessageBox::Ok)->click();
    });
    timer_.start(10);
  }
  QString title, text;
  int buttons = 0;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QStringList othersShown;

 private:
  QTimer timer_;
};

// Base of the tests that drive a loaded main window; endProgram is recorded.
class MainWindowTest : public QObject {
 protected:
  std::unique_ptr<Module2> module;
  std::unique_ptr<mainform01> w;
  std::optional<int> endStatus;

  void Load() {
    module = std::make_unique<Module2>();
    w = std::make_unique<mainform01>(*module);
    w->clock = [] { return kNow; };
    endStatus.reset();
    w->endProgram = [this](int status) { endStatus = status; };
    QString error;
    QVERIFY2(w->Form_Load(DataDir(), &error), qPrintable(error));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void Unload() {
    w.reset();
    module.reset();
  }

  void DecideYear(int year) {
    QTest::mouseClick(w->yearInput, Qt::LeftButton);
    auto* picker = w->yearPicker();
    QVERIFY(picker->isVisible());
    QTest::mouseClick(year >= 2000 ? picker->y2000 : year >= 1900 ? picker->y1900 : picker->y1800,
                      Qt::LeftButton);
    const auto items = picker->List1->findItems(QString::number(year), Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    picker->List1->setCurrentItem(items.front());
    QTest::mouseClick(picker->btnSlok, Qt::LeftButton);
    QVERIFY(!picker->isVisible());
    QVERIFY(w->isEnabled());
  }

  // Year, month, day, hour and minute picked in order; no minute after "?".
  void EnterBirth(int year, int month, int day, const QString& hour, const QString& minute) {
    DecideYear(year);
    Pick(w->mSelect, QString::number(month));
    Pick(w->dSelect, QString::number(day));
    Pick(w->hSelect, hour);
    if (hour != QStringLiteral("?")) Pick(w->mtSelect, minute);
  }
};

}  // namespace uitest
