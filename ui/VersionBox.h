// The version box of the help menu and the notification sound that follows
// it. The sound is an interface so that tests and machines without audio can
// stand in a silent or recording player.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QWidget;

namespace torvela::ui {

// The box's text as the program defines it: the title line, the publisher's
// notice and two contact lines, joined by "\r\r\n" (blank line follows) and
// "\r\n" (plain line break).
QString VersionMessage();

// The credits of the birthplace data, shown under the box's text.
QString DataCredits();

// The same text with its line ends as QMessageBox should show them: each
// "\r\r\n" becomes a blank line, each "\r\n" a single line break.
QString VersionMessageForDisplay(const QString& message);

// A sound that plays to its end before PlaySync returns.
class NotifySound {
 public:
  virtual ~NotifySound() = default;
  virtual void PlaySync() = 0;
};

// Plays ":/sounds/notify.wav" synchronously. Returns at once when there is
// no audio output or no sound resource; otherwise never blocks longer than
// the clip plus a short guard.
std::unique_ptr<NotifySound> MakeSystemNotifySound();

// Length in milliseconds of a PCM RIFF/WAVE clip, or -1 when the header
// cannot be read.
int WavDurationMs(const QByteArray& wav);

// Shows the modal version box (title "バージョン情報", OK only, no icon,
// the data credits under the text) and, once the user has closed it, plays
// the sound.
void ShowVersionBox(QWidget* parent, NotifySound& sound);

}  // namespace torvela::ui
