// The program's two Japanese Gothic faces. The design names the Windows
// faces; on Linux fontconfig has no alias for them, so each font lists them
// first and then the IPA and Noto faces that stand in for them. The lists
// live in report/Style.h, which the printed page shares.
#pragma once

#include <QFont>

namespace torvela::ui {

// Fixed-pitch Gothic ("ＭＳ ゴシック"): lists, buttons, most labels, ages.
QFont GothicFont(int pointSize = 12, bool bold = false);
// Proportional Gothic ("ＭＳ Ｐゴシック"): the pillars and great-luck columns.
QFont PGothicFont(int pointSize = 12, bool bold = false);

}  // namespace torvela::ui
