#include "Fonts.h"

#include <QStringList>

namespace torvela::ui {

namespace {
QFont Make(const QStringList& families, int pointSize, bool bold) {
  QFont f;
  f.setFamilies(families);
  f.setPointSize(pointSize);
  f.setBold(bold);
  return f;
}
}  // namespace

QFont GothicFont(int pointSize, bool bold) {
  return Make({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
               QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")},
              pointSize, bold);
}

QFont PGothicFont(int pointSize, bool bold) {
  return Make({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
               QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")},
              pointSize, bold);
}

}  // namespace torvela::ui
