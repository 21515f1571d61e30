#include "VersionBox.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QMessageBox>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include "Version.h"

namespace torvela::ui {

QString VersionMessage() {
  const QString paragraph = QStringLiteral("\r\r\n");
  const QString line = QStringLiteral("\r\n");
  return QStringLiteral("Torvela（一般用） Ver.  ") + VersionText() + paragraph +
         QStringLiteral("発行：") + MakerName() + paragraph +
         QStringLiteral("    お問い合わせ：") + MakerName() + line +
         QStringLiteral("    Web：") + MakerName() + QStringLiteral(" の配布元をご覧ください");
}

QString DataCredits() {
  return QStringLiteral("出生地の位置：© OpenStreetMap contributors（ODbL 1.0）、"
                        "GeoNames（geonames.org、CC BY 4.0）");
}

QString VersionMessageForDisplay(const QString& message) {
  QString text = message;
  text.replace(QStringLiteral("\r\r\n"), QStringLiteral("\n\n"));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // A stray carriage return would show as a box glyph.
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

int WavDurationMs(const QByteArray& wav) {
  const auto u32 = [&wav](qsizetype at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(wav.constData() + at));
  };
  if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") return -1;
  quint32 byteRate = 0;
  qint64 dataBytes = -1;
  qsizetype at = 12;
  while (at + 8 <= wav.size()) {
    const QByteArray id = wav.mid(at, 4);
    const qint64 size = u32(at + 4);
    const qsizetype body = at + 8;
    if (id == "fmt " && size >= 16 && body + 12 <= wav.size()) {
      byteRate = u32(body + 8);
    } else if (id == "data") {
      // A truncated file still plays what it holds.
      dataBytes = qMin<qint64>(size, wav.size() - body);
    }
    at = body + size + (size & 1);  // chunks are padded to even length
  }
  if (byteRate == 0 || dataBytes < 0) return -1;
  return static_cast<int>(dataBytes * 1000 / byteRate);
}

namespace {

const QString kSoundResource = QStringLiteral(":/sounds/notify.wav");
// How long past the clip's end a silent or stuck device may hold the caller.
constexpr int kGuardMs = 1500;
// Used when the clip's header gives no length.
constexpr int kUnknownClipMs = 3000;

class SystemNotifySound final : public NotifySound {
 public:
  SystemNotifySound() {
    QFile file(kSoundResource);
    if (file.open(QIODevice::ReadOnly)) {
      present_ = true;
      const int ms = WavDurationMs(file.readAll());
      clipMs_ = ms >= 0 ? ms : kUnknownClipMs;
    }
    // Loading the sample now keeps the first play from waiting for it.
    if (present_ && HasOutput()) Prepare();
  }

  void PlaySync() override {
    if (!present_ || !HasOutput()) return;
    Prepare();
    if (effect_->status() == QSoundEffect::Error) return;

    QEventLoop loop;
    QObject::connect(effect_.get(), &QSoundEffect::playingChanged, &loop, [this, &loop] {
      if (!effect_->isPlaying()) loop.quit();
    });
    QObject::connect(effect_.get(), &QSoundEffect::statusChanged, &loop, [this, &loop] {
      if (effect_->status() == QSoundEffect::Error) loop.quit();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(clipMs_ + kGuardMs);
    effect_->play();
    // Like a synchronous system call: no clicks or keys reach the windows
    // until the sound is over.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    effect_->stop();
  }

 private:
  static bool HasOutput() { return !QMediaDevices::audioOutputs().isEmpty(); }

  void Prepare() {
    if (effect_) return;
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl(QStringLiteral("qrc") + kSoundResource));
  }

  bool present_ = false;
  int clipMs_ = 0;
  std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace

std::unique_ptr<NotifySound> MakeSystemNotifySound() {
  return std::make_unique<SystemNotifySound>();
}

void ShowVersionBox(QWidget* parent, NotifySound& sound) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("バージョン情報"),
                  VersionMessageForDisplay(VersionMessage()), QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("versionBox"));
  box.setTextFormat(Qt::PlainText);
  box.setInformativeText(DataCredits());
  box.exec();
  sound.PlaySync();
}

}  // namespace torvela::ui
