#include "place/TextFold.h"

#include <QChar>
#include <QString>

namespace torvela::place {

std::u16string FoldText(QStringView text) {
  const QString folded = text.toString().normalized(QString::NormalizationForm_KC).toLower();
  std::u16string out;
  out.reserve(static_cast<std::size_t>(folded.size()));
  for (const QChar qc : folded) {
    char16_t c = qc.unicode();
    if (c == u'ヶ' || c == u'ゖ') {
      c = u'け';
    } else if (c == u'ヵ' || c == u'ゕ') {
      c = u'か';
    } else if (c >= u'ァ' && c <= u'ヴ') {
      c = static_cast<char16_t>(c - (u'ァ' - u'ぁ'));
    }
    out.push_back(c);
  }
  return out;
}

std::optional<std::u16string> RomajiKey(QStringView text) {
  const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD).toLower();
  std::u16string letters;
  for (const QChar qc : decomposed) {
    const char16_t c = qc.unicode();
    if (c >= u'a' && c <= u'z') {
      letters.push_back(c);
    } else if (qc.category() == QChar::Mark_NonSpacing || c == u'\'' || c == u'’' || c == u'-' ||
               qc.isSpace()) {
      continue;
    } else {
      return std::nullopt;
    }
  }
  // ん before a labial written m (Nihombashi), っち written cch.
  for (std::size_t i = 0; i + 1 < letters.size(); ++i) {
    if (letters[i] == u'm' && (letters[i + 1] == u'b' || letters[i + 1] == u'm' || letters[i + 1] == u'p'))
      letters[i] = u'n';
    if (letters[i] == u'c' && letters[i + 1] == u'c' && i + 2 < letters.size() && letters[i + 2] == u'h')
      letters[i] = u't';
  }
  std::u16string key;
  key.reserve(letters.size());
  for (const char16_t c : letters) {
    const char16_t previous = key.empty() ? u'\0' : key.back();
    if ((c == u'o' && previous == u'o') || (c == u'u' && (previous == u'o' || previous == u'u'))) continue;
    key.push_back(c);
  }
  return key;
}

}  // namespace torvela::place
