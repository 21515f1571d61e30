// The version box: its exact text, a modal box with OK only, and the sound
// strictly after the box has gone.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include "VersionBox.h"

using namespace torvela::ui;

namespace {

class FakeSound : public NotifySound {
 public:
  void PlaySync() override {
    ++plays;
    boxOpenAtPlay = QApplication::activeModalWidget() != nullptr;
  }
  int plays = 0;
  bool boxOpenAtPlay = false;
};

// A PCM WAVE file's bytes: a "fmt " chunk, optionally an odd-sized extra
// chunk before the samples, then `dataBytes` bytes of silence.
QByteArray Wav(quint32 sampleRate, quint16 channels, quint16 bits, int dataBytes, bool extraChunk = false) {
  auto u32 = [](quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; };
  auto u16 = [](quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; };
  QByteArray fmt = u16(1) + u16(channels) + u32(sampleRate) +
                   u32(sampleRate * channels * bits / 8) + u16(channels * bits / 8) + u16(bits);
  QByteArray body = "WAVE" + QByteArray("fmt ") + u32(fmt.size()) + fmt;
  if (extraChunk) body += QByteArray("LIST") + u32(3) + QByteArray("abc") + QByteArray(1, 0);
  body += QByteArray("data") + u32(dataBytes) + QByteArray(dataBytes, 0);
  return "RIFF" + u32(body.size()) + body;
}

}  // namespace

class TestVersionBox : public QObject {
  Q_OBJECT

 private slots:
  void messageText() {
    const QString expected = QStringLiteral(
        "Torvela（一般用） Ver.  1.1.12\r\r\n"
        "発行：Torvela Project\r\r\n"
        "    お問い合わせ：Torvela Project\r\n"
        "    Web：Torvela Project の配布元をご覧ください");
    QCOMPARE(VersionMessage(), expected);
    QCOMPARE(VersionMessageForDisplay(VersionMessage()),
             QStringLiteral("Torvela（一般用） Ver.  1.1.12\n\n"
                            "発行：Torvela Project\n\n"
                            "    お問い合わせ：Torvela Project\n"
                            "    Web：Torvela Project の配布元をご覧ください"));
    QCOMPARE(VersionMessageForDisplay(QStringLiteral("a\rb\r\r\n\r\nc")), QStringLiteral("a\nb\n\n\nc"));
  }

  void soundOnlyAfterTheBoxIsClosed() {
    FakeSound sound;
    QWidget parent;
    parent.show();
    QString title, text;
    int buttons = -1;
    QMessageBox::Icon icon = QMessageBox::Warning;
    int playsWhileOpen = -1;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      title = box->windowTitle();
      text = box->text();
      buttons = int(box->buttons().size());
      icon = box->icon();
      playsWhileOpen = sound.plays;
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    poll.start(10);
    ShowVersionBox(&parent, sound);
    QCOMPARE(playsWhileOpen, 0);
    QCOMPARE(sound.plays, 1);
    QVERIFY(!sound.boxOpenAtPlay);
    QCOMPARE(title, QStringLiteral("バージョン情報"));
    QCOMPARE(text, VersionMessageForDisplay(VersionMessage()));
    QCOMPARE(buttons, 1);
    QCOMPARE(icon, QMessageBox::NoIcon);
  }

  // No audio server on test machines: the real player must not hang.
  void systemSoundReturnsPromptly() {
    auto sound = MakeSystemNotifySound();
    QElapsedTimer clock;
    clock.start();
    sound->PlaySync();
    sound->PlaySync();
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
  }

  // The bundled chime is read for its length, which bounds the wait.
  void bundledChimeIsShort() {
    QFile file(QStringLiteral(":/sounds/notify.wav"));
    if (!file.open(QIODevice::ReadOnly)) QSKIP("no sound resource in this build");
    const int ms = WavDurationMs(file.readAll());
    QVERIFY2(ms > 0 && ms < 3000, qPrintable(QString::number(ms)));
  }

  void wavDuration_data() {
    QTest::addColumn<QByteArray>("wav");
    QTest::addColumn<int>("ms");
    QTest::newRow("mono 16-bit 1 s") << Wav(22050, 1, 16, 44100) << 1000;
    QTest::newRow("stereo 44.1 kHz 0.55 s") << Wav(44100, 2, 16, 97020) << 550;
    QTest::newRow("odd chunk before data") << Wav(8000, 1, 8, 4000, true) << 500;
    QTest::newRow("truncated samples") << Wav(8000, 1, 8, 4000).left(44 + 800) << 100;
    QTest::newRow("not a wave") << QByteArray("RIFF\0\0\0\0AVI LIST", 16) << -1;
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("header only") << Wav(8000, 1, 8, 0).left(20) << -1;
  }
  void wavDuration() {
    QFETCH(QByteArray, wav);
    QFETCH(int, ms);
    QCOMPARE(WavDurationMs(wav), ms);
  }
};

QTEST_MAIN(TestVersionBox)
#include "test_versionbox.moc"
