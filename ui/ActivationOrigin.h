// Whether a window that is being activated was reached from another window
// of the program or from another application. It follows the application's
// focus window, which is empty while another application has the focus;
// Qt delivers a window's activation before it reports the new focus window,
// so at that moment the last report still describes where the user came from.
#pragma once

#include <QObject>
#include <QWindow>

namespace torvela::ui {

class ActivationOrigin : public QObject {
  Q_OBJECT

 public:
  explicit ActivationOrigin(QObject* parent = nullptr);

  // Asked from a window's activation: true when one of the program's windows
  // had the focus just before.
  bool fromProgram() const { return programHadFocus_; }

 public slots:
  void FocusWindowChanged(QWindow* window);

 private:
  bool programHadFocus_;
};

}  // namespace torvela::ui
