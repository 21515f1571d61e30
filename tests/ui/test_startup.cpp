// Start-up: the splash gives way to the main window with only the year
// button usable; a missing or short data file ends the program with a
// message and a failing status before any main window is shown.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "ModalCatcher.h"
#include "Startup.h"
#include "Version.h"
#include "mainform01.h"

using torvela::ui::mainform01;
using torvela::ui::Startup;

namespace {

QString AppDir() { return QCoreApplication::applicationDirPath(); }

// A data directory with latitude.txt and planet.txt cut to `planetLines`
// lines (-1: whole file, 0: no planet.txt at all).
std::filesystem::path MakeDataDir(QTemporaryDir& dir, int planetLines) {
  QFile::copy(AppDir() + QStringLiteral("/latitude.txt"), dir.filePath(QStringLiteral("latitude.txt")));
  if (planetLines != 0) {
    QFile in(AppDir() + QStringLiteral("/planet.txt"));
    if (!in.open(QIODevice::ReadOnly)) return {};
    QByteArray text;
    for (int n = 0; !in.atEnd() && (planetLines < 0 || n < planetLines); ++n) text += in.readLine();
    QFile out(dir.filePath(QStringLiteral("planet.txt")));
    if (!out.open(QIODevice::WriteOnly)) return {};
    out.write(text);
  }
  return dir.path().toStdString();
}

bool AnyWindowVisible() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->isVisible()) return true;
  return false;
}

}  // namespace

class TestStartup : public QObject {
  Q_OBJECT

 private slots:
  void goodFilesShowTheMainWindow() {
    std::optional<int> ended;
    Startup startup(AppDir().toStdString(), 500);
    startup.endProgram = [&](int status) { ended = status; };
    startup.Begin();
    QVERIFY(startup.splash() && startup.splash()->isVisible());
    QVERIFY(!startup.mainWindow());
    QTRY_VERIFY(startup.mainWindow() && startup.mainWindow()->isVisible());
    QTRY_VERIFY(!startup.splash());

    mainform01* w = startup.mainWindow();
    QCOMPARE(w->windowTitle(), torvela::ui::MainWindowCaption());
    QVERIFY(w->yearInput->isEnabled());
    for (QWidget* locked : std::initializer_list<QWidget*>{w->mSelect, w->dSelect, w->hSelect,
                                                          w->mtSelect, w->fInput, w->btnpop})
      QVERIFY2(!locked->isEnabled(), qPrintable(locked->objectName()));
    QVERIFY(!w->menupop->isEnabled());
    QCOMPARE(startup.module().StemNames[1], std::string("甲"));
    const QPoint centre = w->frameGeometry().center();
    const QPoint screenCentre = w->screen()->availableGeometry().center();
    QVERIFY((centre - screenCentre).manhattanLength() <= 2);

    w->close();
    QVERIFY(ended == 0);
    QVERIFY(!AnyWindowVisible());
  }

  // Through the program's entry point: the loader's message, no main
  // window, a failing status; and status 0 after the close box.
  void unusableDataEndsTheProgram_data() {
    QTest::addColumn<int>("planetLines");
    QTest::newRow("planet.txt missing") << 0;
    QTest::newRow("planet.txt short") << 100;
  }
  void unusableDataEndsTheProgram() {
    QFETCH(int, planetLines);
    QTemporaryDir dir;
    const auto dataDir = MakeDataDir(dir, planetLines);
    QVERIFY(!dataDir.empty());
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ModalCatcher catcher;
    QCOMPARE(torvela::ui::StartApplication(*app, dataDir, 20), 1);
    QCOMPARE(catcher.title, QStringLiteral("Torvela（一般用）"));
    QVERIFY2(catcher.text.contains(QStringLiteral("planet.txt")), qPrintable(catcher.text));
    QCOMPARE(catcher.othersShown, QStringList());
    QVERIFY(!AnyWindowVisible());
  }

  void closeBoxEndsWithStatusZero() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<mainform01*>(top) && top->isVisible()) top->close();
    });
    closer.start(20);
    QCOMPARE(torvela::ui::StartApplication(*app, AppDir().toStdString(), 20), 0);
    QVERIFY(!AnyWindowVisible());
  }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
