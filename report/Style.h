// The faces and colours the windows and the printed page share. QtGui only,
// so that the page renderer needs no widgets.
#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>

namespace torvela::report {

// Families in the order asked for. The Windows faces come first; where they
// are not installed (fontconfig has no alias for them) Qt skips them and
// takes the IPA face, then the Noto one.
// Fixed-pitch Gothic ("ＭＳ ゴシック"): lists, buttons, most labels, ages.
QStringList GothicFamilies();
// Proportional Gothic ("ＭＳ Ｐゴシック"): the pillars and great-luck columns.
QStringList PGothicFamilies();

// A font of those families. pointSize may be fractional (the page sizes
// its text in points).
QFont GothicFont(double pointSize = 12, bool bold = false);
QFont PGothicFont(double pointSize = 12, bool bold = false);

// The conventional colour of element 0..4 (木 green, 火 red, 土 ochre,
// 金 warm grey, 水 blue), dark enough to read as text on white or on the
// window background. Out-of-range elements clamp.
QColor ElementColor(int element);

}  // namespace torvela::report
