#include "report/Style.h"

#include <algorithm>
#include <array>

namespace torvela::report {

namespace {
QFont Make(const QStringList& families, double pointSize, bool bold) {
  QFont f;
  f.setFamilies(families);
  f.setPointSizeF(pointSize);
  f.setBold(bold);
  return f;
}
}  // namespace

QStringList GothicFamilies() {
  return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
          QStringLiteral("Noto Sans Mono CJK JP")};
}

QStringList PGothicFamilies() {
  return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
          QStringLiteral("Noto Sans CJK JP")};
}

QFont GothicFont(double pointSize, bool bold) { return Make(GothicFamilies(), pointSize, bold); }

QFont PGothicFont(double pointSize, bool bold) { return Make(PGothicFamilies(), pointSize, bold); }

QColor ElementColor(int element) {
  static const std::array<QColor, 5> colors = {
      QColor(0x2e, 0x8b, 0x3e),  // 木
      QColor(0xd0, 0x36, 0x2b),  // 火
      QColor(0xc0, 0x8e, 0x1e),  // 土
      QColor(0x9c, 0x93, 0x80),  // 金
      QColor(0x24, 0x58, 0xb0),  // 水
  };
  return colors[static_cast<std::size_t>(std::clamp(element, 0, 4))];
}

}  // namespace torvela::report
