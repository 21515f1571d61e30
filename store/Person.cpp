#include "Person.h"

#include <QDate>

namespace torvela::store {
namespace {

// A whole number written the way the lists write it: digits, no sign, no
// leading zero; nothing otherwise.
std::optional<int> ListNumber(const QString& text) {
  if (text.isEmpty() || text.size() > 2) return std::nullopt;
  if (text.size() == 2 && text[0] == u'0') return std::nullopt;
  int value = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
  }
  return value;
}

bool HasLineBreak(const QString& text) {
  return text.contains(u'\n') || text.contains(u'\r');
}

}  // namespace

bool IsHourText(const QString& text) {
  if (text == u"?") return true;
  const auto n = ListNumber(text);
  return n && *n <= 23;
}

bool IsMinuteText(const QString& text) {
  if (text == u"?") return true;
  const auto n = ListNumber(text);
  return n && *n <= 59;
}

QString CheckPerson(const Person& p) {
  const BirthInputs& in = p.inputs;
  if (p.name.trimmed().isEmpty()) return QStringLiteral("名前がありません。");
  if (HasLineBreak(p.name)) return QStringLiteral("名前に改行は使えません。");
  if (HasLineBreak(p.reading)) return QStringLiteral("よみに改行は使えません。");
  if (in.year < FirstYear || in.year > LastYear)
    return QStringLiteral("生年 %1 は %2〜%3 の範囲にありません。").arg(in.year).arg(FirstYear).arg(LastYear);
  if (!QDate(in.year, in.month, in.day).isValid())
    return QStringLiteral("%1年%2月%3日という日はありません。").arg(in.year).arg(in.month).arg(in.day);
  if (!IsHourText(in.hour))
    return QStringLiteral("生時「%1」は ? か 0〜23 のどれかです。").arg(in.hour);
  if (!(in.minute.isEmpty() && in.hour == u"?") && !IsMinuteText(in.minute))
    return in.minute.isEmpty() ? QStringLiteral("生時があるときは生分（? か 0〜59）が要ります。")
                               : QStringLiteral("生分「%1」は ? か 0〜59 のどれかです。").arg(in.minute);
  for (QChar c : in.placeCode)
    if (c < u'0' || c > u'9')
      return QStringLiteral("出生地コード「%1」は数字だけで書きます。").arg(in.placeCode);
  if (in.placeCode.size() > 6)
    return QStringLiteral("出生地コード「%1」は6桁までです。").arg(in.placeCode);
  if (in.moment) {
    const int m = in.moment->boundaryMinutes;
    if (m != 10 && m != 30 && m != 60)
      return QStringLiteral("境界幅 %1 は 10・30・60 のどれかです。").arg(m);
  }
  return {};
}

QString SexText(Sex sex) { return sex == Sex::Male ? QStringLiteral("男") : QStringLiteral("女"); }

std::optional<Sex> SexFromText(const QString& text) {
  if (text == u"男") return Sex::Male;
  if (text == u"女") return Sex::Female;
  return std::nullopt;
}

QString Before1888Text(Before1888 reading) {
  switch (reading) {
    case Before1888::Lmt: return QStringLiteral("lmt");
    case Before1888::Solar: return QStringLiteral("solar");
    case Before1888::Jst: break;
  }
  return QStringLiteral("jst");
}

std::optional<Before1888> Before1888FromText(const QString& text) {
  for (Before1888 r : {Before1888::Jst, Before1888::Lmt, Before1888::Solar})
    if (text == Before1888Text(r)) return r;
  return std::nullopt;
}

QString UtcText(const QDateTime& time) {
  return time.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

QDateTime UtcFromText(const QString& text) {
  // Only the one form UtcText writes, so that what is kept reads back alike.
  if (text.size() != 20 || !text.endsWith(u'Z')) return {};
  const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
  if (!t.isValid() || t.timeSpec() != Qt::UTC) return {};
  return t;
}

QString SearchKey(const QString& text) {
  QString s = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
  QString key;
  key.reserve(s.size());
  for (QChar c : s) {
    if (c.isSpace()) continue;
    const char16_t u = c.unicode();
    // Katakana ァ..ヶ and the iteration marks ヽヾ have hiragana 0x60 below.
    if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE)
      key += QChar(char16_t(u - 0x60));
    else
      key += c;
  }
  return key;
}

bool KeyMatches(const QString& nameKey, const QString& readingKey, const QString& key) {
  return key.isEmpty() || nameKey.contains(key) || readingKey.contains(key);
}

}  // namespace torvela::store
