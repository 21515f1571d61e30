#include "ActivationOrigin.h"

#include <QGuiApplication>

namespace torvela::ui {

ActivationOrigin::ActivationOrigin(QObject* parent)
    : QObject(parent), programHadFocus_(QGuiApplication::focusWindow() != nullptr) {
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationOrigin::FocusWindowChanged);
}

void ActivationOrigin::FocusWindowChanged(QWindow* window) { programHadFocus_ = window != nullptr; }

}  // namespace torvela::ui
