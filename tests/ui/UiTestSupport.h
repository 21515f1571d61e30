// Helpers shared by the window tests: a main window loaded with a fixed
// "now" and settings of its own, picks made the way a user's arrive, and a
// catcher for modal boxes.
#pragma once

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include "DetailWindow.h"
#include "NoticeArea.h"
#include "mainform01.h"
#include "yInput.h"

namespace uitest {

using torvela::Module2, torvela::ui::mainform01, torvela::ui::ChartView, torvela::ui::frmpop01,
    torvela::ui::frmjpmap, torvela::ui::yInput;

inline const torvela::chart::LocalTime kNow{2026, 12, 6, 12, 0};

// The 名簿 of a program started by the test: a file of its own in a
// temporary folder, never the user's.
inline void UseTestPeople(const QTemporaryDir& dir) {
  QStandardPaths::setTestModeEnabled(true);
  qputenv("TORVELA_DB", QFile::encodeName(dir.filePath(QStringLiteral("torvela.sqlite"))));
}

inline std::filesystem::path DataDir() { return QCoreApplication::applicationDirPath().toStdString(); }

// Makes w the active window. Waits for the application to say so: a child
// window (the popup, the map) reports itself active before its activation
// has arrived.
inline void Activate(QWidget* w) {
  w->activateWindow();
  QVERIFY2(QTest::qWaitFor([w] {
             QCoreApplication::processEvents();
             return QApplication::activeWindow() == w;
           }),
           qPrintable(w->objectName()));
}

// A user's pick: the text changes, then activation (a click into a just-opened popup is lost).
inline void Pick(QComboBox* list, const QString& text) {
  const int index = list->findText(text);
  QVERIFY2(index >= 0 && list->isEnabled(), qPrintable(list->objectName() + ": " + text));
  list->setCurrentIndex(index);
  emit list->activated(index);
}

// Presses OK in the next modal box, noting what it and the other windows showed;
// polls, because the box runs its own event loop.
struct ModalCatcher : QObject {
  ModalCatcher() {
    connect(&timer, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle(), text = box->text(), informative = box->informativeText();
      buttons = int(box->buttons().size()), icon = box->icon();
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top != box && top->isVisible()) othersShown << top->objectName();
      box->button(QMessageBox::Ok)->click();
    });
    timer.start(10);
  }
  QString title, text, informative;
  int buttons = 0;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QStringList othersShown;
  QTimer timer;
};

// The notices a notice area shows, one a paragraph.
inline QStringList ShownNotices(const QLabel& notices) {
  QTextDocument doc;
  doc.setHtml(notices.text());
  const QString text = doc.toPlainText();
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}
inline QStringList ShownNotices(const torvela::ui::NoticeArea& area) { return ShownNotices(*area.lblNotices); }

// Every text a 命式詳細 window shows, the yearly luck included (bold marked "*").
inline QStringList DetailShown(const torvela::ui::DetailWindow& d) {
  QStringList texts;
  QList<QLabel*> labels = d.findChildren<QLabel*>();
  std::sort(labels.begin(), labels.end(),
            [](QLabel* a, QLabel* b) { return a->objectName() < b->objectName(); });
  for (const QLabel* l : labels) texts << l->objectName() + '=' + l->text();
  texts << d.grpYearLuck->title();
  for (int r = 0; r < d.tblYearLuck->rowCount(); ++r)
    for (int c = 0; c < d.tblYearLuck->columnCount(); ++c)
      texts << d.tblYearLuck->item(r, c)->text() + (d.tblYearLuck->item(r, c)->font().bold() ? "*" : "");
  return texts;
}

struct CountingSound : torvela::ui::NotifySound {
  void PlaySync() override { ++plays; }
  int plays = 0;
};

// Base of the tests that drive a loaded main window; endProgram is recorded.
// Each window keeps its settings in a file of the test's own, never in the
// user's: a fresh one (the defaults) for each Load unless settingsFile names
// one to read back.
class MainWindowTest : public QObject {
 protected:
  MainWindowTest() { QStandardPaths::setTestModeEnabled(true); }

  std::unique_ptr<Module2> module;  // outlives w, which refers to it
  std::unique_ptr<mainform01> w;
  std::optional<int> endStatus;
  QTemporaryDir settingsDir;
  QString settingsFile;
  int settingsFiles = 0;

  // fixedNow: the chart reads kNow; otherwise the window's own clock.
  void Load(bool fixedNow = true) {
    module = std::make_unique<Module2>();
    w = std::make_unique<mainform01>(*module);
    if (fixedNow) w->clock = [] { return kNow; };
    const QString file = !settingsFile.isEmpty()
                             ? settingsFile
                             : settingsDir.filePath(QStringLiteral("settings-%1.ini").arg(++settingsFiles));
    w->openSettings = [file] { return std::make_unique<QSettings>(file, QSettings::IniFormat); };
    endStatus.reset(), w->endProgram = [this](int status) { endStatus = status; };
    QString error;
    QVERIFY2(w->Form_Load(DataDir(), &error), qPrintable(error));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void Unload() { w.reset(), module.reset(); }

  void DecideYear(int year) {
    QTest::mouseClick(w->yearInput, Qt::LeftButton);
    auto* p = w->yearPicker();
    QTest::mouseClick(year >= 2000 ? p->y2000 : year >= 1900 ? p->y1900 : p->y1800, Qt::LeftButton);
    const auto items = p->List1->findItems(QString::number(year), Qt::MatchExactly);
    QVERIFY(items.size() == 1 && p->isVisible());
    p->List1->setCurrentItem(items.front());
    QTest::mouseClick(p->btnSlok, Qt::LeftButton);
    QVERIFY(!p->isVisible() && w->isEnabled());
  }

  // Year, month, day, hour and minute picked in order; no minute after "?".
  void EnterBirth(int year, int month, int day, const QString& hour, const QString& minute = "30") {
    DecideYear(year);
    Pick(w->mSelect, QString::number(month));
    Pick(w->dSelect, QString::number(day));
    Pick(w->hSelect, hour);
    if (hour != "?") Pick(w->mtSelect, minute);
  }
};

}  // namespace uitest
