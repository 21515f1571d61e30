// Start-up through the program's entry point: the splash gives way to the
// main window, or at once when it is closed early; unusable data ends the
// program with a message; the running program names its desktop entry; and
// the version box with its sound.
#include "Startup.h"
#include "UiTestSupport.h"
#include "VersionBox.h"
#include "startkolvan.h"

using namespace torvela::ui;
using namespace uitest;

class TestStartup : public QObject {
  Q_OBJECT

  QTemporaryDir peopleDir;

 private slots:
  // Started programs open a 名簿 of their own and read settings that are
  // never the user's.
  void initTestCase() { UseTestPeople(peopleDir); }

  // The splash shows its version for its time, then gives way to the main
  // window with only the year button usable; closed early (its close box,
  // Alt+F4) it gives way at once rather than leave the program running with
  // no window. Closing the splash never ends the program: the main window does.
  void splashThenMainWindow() {
    for (const bool closeEarly : {false, true}) {
      const int interval = closeEarly ? 600000 : 300;
      QString version;
      QSize splashSize;
      qint64 mainAfterMs = -1;
      QStringList usable;
      QElapsedTimer clock;
      QTimer poll;
      connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
          if (auto* s = qobject_cast<startkolvan*>(top); s && s->isVisible()) {
            version = s->findChild<QLabel*>("Label1")->text(), splashSize = s->size();
            if (closeEarly) s->windowHandle()->close();  // as the window system's close arrives
          }
          auto* m = qobject_cast<mainform01*>(top);
          if (!m || !m->isVisible() || mainAfterMs >= 0) continue;
          mainAfterMs = clock.elapsed();
          for (QWidget* c : std::initializer_list<QWidget*>{m->yearInput, m->mSelect, m->dSelect, m->hSelect,
                                                            m->mtSelect, m->fInput, m->btnpop})
            if (c->isEnabled()) usable << c->objectName();
          for (QWidget* other : QApplication::topLevelWidgets())
            if (other != m && other->isVisible()) usable << other->objectName();
          m->close();
        }
      });
      QTimer::singleShot(10000, &poll, [] { QCoreApplication::exit(-1); });  // a hang fails
      poll.start(10);
      clock.start();
      QCOMPARE(StartApplication(*qApp, DataDir(), interval), 0);
      QCOMPARE(version, "Ver. 1.1.12");
      QCOMPARE(splashSize, QSize(325, 227));
      QVERIFY2(closeEarly || mainAfterMs >= interval * 9 / 10, qPrintable(QString::number(mainAfterMs)));
      QCOMPARE(usable, QStringList{"yearInput"});
    }
  }

  // The windows are matched to the installed desktop entry: on Wayland by
  // the desktop file name, on X11 by the window class, which Qt takes from
  // the application name.
  void desktopEntryMatchesTheWindows() {
    ConfigureApplication(*qApp);
    QCOMPARE(QGuiApplication::desktopFileName(), "invalid.torvela.Torvela");
    QFile entry(QStringLiteral(TORVELA_SOURCE_DIR "/packaging/") + QGuiApplication::desktopFileName() +
                ".desktop");
    QVERIFY2(entry.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(entry.fileName()));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    QVERIFY(lines.contains("StartupWMClass=" + QCoreApplication::applicationName()));
  }

  void unusableDataEndsTheProgram() {
    for (int planetLines : {0, 100}) {  // no planet.txt at all, then a short one
      QTemporaryDir dir;
      const QString appDir = QCoreApplication::applicationDirPath();
      QVERIFY(QFile::copy(appDir + "/latitude.txt", dir.filePath("latitude.txt")));
      QFile in(appDir + "/planet.txt"), out(dir.filePath("planet.txt"));
      if (planetLines) QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
      for (int n = 0; n < planetLines; ++n) out.write(in.readLine());
      out.close();
      ModalCatcher catcher;
      QCOMPARE(StartApplication(*qApp, dir.path().toStdString(), 20), 1);
      QCOMPARE(catcher.title, QStringLiteral("Torvela（一般用）"));
      QVERIFY2(catcher.text.contains("planet.txt"), qPrintable(catcher.text));
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible()) catcher.othersShown << top->objectName();
      QCOMPARE(catcher.othersShown, QStringList());  // neither during the message nor after
    }
  }

  void versionBoxThenSound() {
    QCOMPARE(VersionMessage(), QStringLiteral("Torvela（一般用） Ver.  1.1.12\r\r\n"
                                              "発行：Torvela Project\r\r\n"
                                              "    お問い合わせ：Torvela Project\r\n"
                                              "    Web：Torvela Project の配布元をご覧ください"));
    struct : NotifySound {
      void PlaySync() override { playedWithBoxOpen << bool(QApplication::activeModalWidget()); }
      QList<bool> playedWithBoxOpen;
    } sound;
    QWidget parent;
    parent.show();
    ModalCatcher catcher;
    ShowVersionBox(&parent, sound);
    QCOMPARE(catcher.title, QStringLiteral("バージョン情報"));
    // "\r\r\n" is a blank line, "\r\n" a line break.
    QCOMPARE(catcher.text, VersionMessage().replace("\r\r\n", "\n\n").replace("\r\n", "\n"));
    // The birthplace data's credits, under the text.
    for (const char* credit : {"© OpenStreetMap contributors", "ODbL", "GeoNames", "CC BY 4.0"})
      QVERIFY2(catcher.informative.contains(QString::fromUtf8(credit)), qPrintable(catcher.informative));
    QVERIFY(catcher.buttons == 1 && catcher.icon == QMessageBox::NoIcon);
    QCOMPARE(sound.playedWithBoxOpen, QList<bool>{false});
  }

  // No audio server on test machines: the real player must not hang. The
  // clip's length bounds the wait where there is one.
  void systemSoundReturnsPromptly() {
    auto sound = MakeSystemNotifySound();
    QElapsedTimer clock;
    clock.start();
    sound->PlaySync(), sound->PlaySync();
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QFile chime(":/sounds/notify.wav");
    QVERIFY(chime.open(QIODevice::ReadOnly));
    const int ms = WavDurationMs(chime.readAll());
    QVERIFY2(ms > 0 && ms < 3000, qPrintable(QString::number(ms)));
  }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
