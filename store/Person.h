// A person of the 名簿: a name, what the main window's inputs held when the
// chart was saved (texts exactly as shown, so that restoring them is the
// same as typing them again), and when the entry was made and last changed.
#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <optional>

namespace torvela::store {

enum class Sex { Male, Female };                // 男, 女
enum class Before1888 { Jst, Lmt, Solar };      // how a clock reading before 1888 is taken

// The birth-moment settings chosen for this person.
struct MomentSettings {
  bool summerTime = true;                       // correct for the summer time of 1948–1951
  Before1888 before1888 = Before1888::Jst;
  int boundaryMinutes = 30;                     // 10, 30 or 60
  bool operator==(const MomentSettings&) const = default;
};

// The inputs of the main window.
struct BirthInputs {
  int year = 0, month = 0, day = 0;
  QString hour;                                 // hour list text: "?" or "0".."23"
  QString minute;                               // minute list text: "?" or "0".."59"; may be "" when the hour is "?"
  Sex sex = Sex::Female;
  QString jisahun = QStringLiteral("0");        // the time-difference texts, as typed
  QString jisabyo = QStringLiteral("0");
  QString placeCode, placeName;                 // the birthplace; both empty when none was chosen
  std::optional<MomentSettings> moment;         // none: the program's defaults
  bool operator==(const BirthInputs&) const = default;
};

struct Person {
  qint64 id = 0;                                // 0 until saved
  QString name;                                 // required
  QString reading, memo;
  BirthInputs inputs;
  QDateTime created, updated;                   // UTC; set by the store
  bool operator==(const Person&) const = default;
};

// The years the year picker offers.
inline constexpr int FirstYear = 1800, LastYear = 2080;

// Why the person cannot be kept, in Japanese; empty when it can.
QString CheckPerson(const Person& person);

// "男" / "女" and back.
QString SexText(Sex sex);
std::optional<Sex> SexFromText(const QString& text);

// "jst" / "lmt" / "solar" and back.
QString Before1888Text(Before1888 reading);
std::optional<Before1888> Before1888FromText(const QString& text);

// True for the texts of the hour list ("?", "0".."23") and the minute list.
bool IsHourText(const QString& text);
bool IsMinuteText(const QString& text);

// A moment as the 名簿 keeps it: "2026-12-06T03:04:05Z"; and back (an
// invalid QDateTime for anything else).
QString UtcText(const QDateTime& time);
QDateTime UtcFromText(const QString& text);

// The form names, readings and queries are compared in: NFKC, case folded,
// katakana as hiragana, without spaces; so "ヤマダ　タロウ", "やまだたろう" and
// "ﾔﾏﾀﾞ" all meet.
QString SearchKey(const QString& text);

// True when the name's or the reading's search key contains `key` (a
// SearchKey); an empty key matches everyone.
bool KeyMatches(const QString& nameKey, const QString& readingKey, const QString& key);

}  // namespace torvela::store

Q_DECLARE_METATYPE(torvela::store::Person)
