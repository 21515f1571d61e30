// The splash shows the version over its picture, centred, and hands over to
// the main window exactly once; closing it never ends the program.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "startkolvan.h"

using torvela::ui::SplashPicture;
using torvela::ui::startkolvan;

class TestSplash : public QObject {
  Q_OBJECT

 private slots:
  void showsVersionCentredAtItsSize() {
    startkolvan splash([] {}, 60000);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QCOMPARE(splash.findChild<QLabel*>("Label1")->text(), QStringLiteral("Ver. 1.1.12"));
    QCOMPARE(splash.size(), QSize(325, 227));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QPoint centre = splash.screen()->availableGeometry().center();
    QVERIFY((splash.frameGeometry().center() - centre).manhattanLength() <= 1);
    // The version sits over the picture's lower right.
    const QRect label = splash.findChild<QLabel*>("Label1")->geometry();
    QVERIFY(splash.rect().contains(label));
    QVERIFY(label.left() > splash.width() / 2 && label.top() > splash.height() / 2);
  }

  void pictureMatchesTheScreenDensity_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("standard") << 1.0;
    QTest::newRow("high density") << 2.0;
    QTest::newRow("fractional") << 1.5;
  }
  void pictureMatchesTheScreenDensity() {
    QFETCH(qreal, dpr);
    const QPixmap picture = SplashPicture(dpr);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.deviceIndependentSize(), QSizeF(325, 227));
    QCOMPARE(picture.devicePixelRatio() > 1.0, dpr > 1.0);
  }

  void handsOverOnceAfterTheInterval() {
    int shown = 0;
    startkolvan splash([&shown] { ++shown; }, 50);
    splash.show();
    QCOMPARE(shown, 0);
    QTRY_COMPARE(shown, 1);
    QTest::qWait(250);  // several intervals more
    QCOMPARE(shown, 1);
  }

  void closedBeforeTheIntervalNeverHandsOver() {
    int shown = 0;
    startkolvan splash([&shown] { ++shown; }, 100);
    splash.show();
    splash.close();
    QTest::qWait(300);
    QCOMPARE(shown, 0);
  }

  // The main window's load closes the splash before the main window is
  // shown: for that moment no window is visible. Quitting on the last
  // window closed only acts inside the application's own event loop, so
  // the hand-over runs inside exec().
  void closingTheSplashDoesNotEndTheProgram() {
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    QPointer<QWidget> main;
    QPointer<startkolvan> splash;
    splash = new startkolvan(
        [&] {
          splash->close();  // unloaded by the main window's load handler ...
          splash->deleteLater();
          QTimer::singleShot(50, [&] {  // ... which shows the main window later
            main = new QWidget;
            main->show();
            QTimer::singleShot(50, [] { QCoreApplication::exit(42); });
          });
        },
        20);
    QTimer guard;  // a hang fails instead of blocking
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    guard.start(5000);
    splash->show();
    QCOMPARE(QApplication::exec(), 42);
    QVERIFY(splash.isNull());
    QVERIFY(main && main->isVisible());

    // Closing the main window, the real last one, does end the program.
    QTimer::singleShot(20, main, &QWidget::close);
    guard.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    delete main;
  }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
