#include "InputLogic.h"

#include <algorithm>
#include <cmath>

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
  double v = Fix(LeadingNumber(text.toStdString()));
  if (!std::isfinite(v)) v = 0;
  return static_cast<int>(std::clamp(v + delta, static_cast<double>(min), static_cast<double>(max)));
}

}  // namespace torvela::ui
