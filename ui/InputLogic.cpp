#include "InputLogic.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "place/NumberText.h"
#include "calc/Numeric.h"
#include "chart/Birthday.h"

namespace torvela::ui {

QString BirthPartText(const std::optional<double>& value) {
  return QString::fromStdString(chart::BirthPartText(value));
}

QString BirthdayLine(const Module2& module, const QString& hourText, const QString& minuteText) {
  const chart::BirthParts birth{module.BirthYear, module.BirthMonth, module.BirthDay,
                                module.BirthHour, module.BirthMinute};
  return QString::fromStdString(
      chart::BirthdayLine(birth, hourText.toStdString(), minuteText.toStdString()));
}

double PickedValue(const QString& text) { return LeadingNumber(text.toStdString()); }

QStringList NumberItems(int first, int last) {
  QStringList items;
  for (int n = first; n <= last; ++n) items << QString::number(n);
  return items;
}

QStringList HourItems() { return QStringList{QStringLiteral("?")} + NumberItems(0, 23); }

QStringList MinuteItems() { return QStringList{QStringLiteral("?")} + NumberItems(0, 59); }

std::optional<int> ClampedDay(const Module2& module) {
  if (!module.BirthMonth || !module.BirthDay) return std::nullopt;
  const double month = *module.BirthMonth;
  if (!(month >= 1 && month <= 12)) return std::nullopt;
  const int length = module.MonthDays[static_cast<std::size_t>(month)];
  if (length <= 0 || *module.BirthDay <= length) return std::nullopt;
  return length;
}

YearRange CenturyYears(int century) {
  if (century == 2000) return {2000, 2080};
  return {century, century + 99};
}

int SpinStep(const QString& text, int delta, int min, int max) {
  double v = Fix(LeadingNumber(HalfWidthNumberText(text).toStdString()));
  if (!std::isfinite(v)) v = 0;
  return static_cast<int>(std::clamp(v + delta, static_cast<double>(min), static_cast<double>(max)));
}

namespace {

enum class Typed { Fine, NotANumber, OutOfRange };

// Whether a box holds one decimal number in lo..hi (hi excluded for seconds,
// so 59.5 is still a second of the last minute).
Typed CheckTyped(const QString& text, double lo, double hi, bool hiIncluded) {
  const QString t = HalfWidthNumberText(text).trimmed();
  if (t.isEmpty()) return Typed::Fine;
  static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+[.]?[0-9]*|[.][0-9]+)$"));
  if (!number.match(t).hasMatch()) return Typed::NotANumber;
  // A long digit run is far out of range (and may not even fit a double).
  QString whole = t.section(u'.', 0, 0);
  whole.remove(QRegularExpression(QStringLiteral("^[+-]?0*")));
  if (whole.size() > 3) return Typed::OutOfRange;
  const double v = LeadingNumber(t.toStdString());
  return v >= lo && (hiIncluded ? v <= hi : v < hi) ? Typed::Fine : Typed::OutOfRange;
}

}  // namespace

QString TimeDifferenceHint(const QString& minutes, const QString& seconds) {
  QStringList notes;
  switch (CheckTyped(minutes, JisahunMin, JisahunMax, true)) {
    case Typed::NotANumber: notes << QStringLiteral("分は数値で入力"); break;
    case Typed::OutOfRange: notes << QStringLiteral("分は%1〜%2").arg(JisahunMin).arg(JisahunMax); break;
    case Typed::Fine: break;
  }
  switch (CheckTyped(seconds, JisabyoMin, JisabyoMax + 1, false)) {
    case Typed::NotANumber: notes << QStringLiteral("秒は数値で入力"); break;
    case Typed::OutOfRange: notes << QStringLiteral("秒は%1〜%2").arg(JisabyoMin).arg(JisabyoMax); break;
    case Typed::Fine: break;
  }
  return notes.join(QStringLiteral("　"));
}

}  // namespace torvela::ui
