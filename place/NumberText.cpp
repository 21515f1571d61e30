#include "place/NumberText.h"

namespace torvela {

namespace {

bool IsAscii(const QString& text) {
  for (QChar c : text)
    if (c.unicode() >= 0x80) return false;
  return true;
}

}  // namespace

QString HalfWidthNumberText(const QString& typed) {
  if (IsAscii(typed)) return typed;
  QString text = typed.normalized(QString::NormalizationForm_KC);
  // NFKC leaves these two alone: U+2212 is a symbol of its own, and "ー" a
  // letter. Only as the sign of a number do they mean minus.
  qsizetype i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  if (i + 1 < text.size() && (text[i] == QChar(0x2212) || text[i] == QChar(0x30FC))) {
    const QChar next = text[i + 1];
    if ((next >= u'0' && next <= u'9') || next == u'.') text[i] = u'-';
  }
  return text;
}

std::string HalfWidthNumberText(std::string_view utf8) {
  for (unsigned char c : utf8) {
    if (c >= 0x80)
      return HalfWidthNumberText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))).toStdString();
  }
  return std::string(utf8);
}

}  // namespace torvela
