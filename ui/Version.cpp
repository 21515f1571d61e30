#include "Version.h"

namespace torvela::ui {

QString VersionText() {
  return QStringLiteral("%1.%2.%3")
      .arg(TORVELA_VERSION_MAJOR)
      .arg(TORVELA_VERSION_MINOR)
      .arg(TORVELA_VERSION_PATCH);
}

QString MakerName() { return QStringLiteral("Torvela Project"); }

QString MainWindowCaption() { return QStringLiteral("Torvela（一般用）") + MakerName(); }

}  // namespace torvela::ui
