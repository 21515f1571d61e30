// The decisions behind the main window's inputs, kept free of widgets so
// that tests can call them directly: the birthday line, the day list, the
// day clamp, the year picker's centuries and the time-difference steps.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "calc/Module2.h"

namespace torvela::ui {

// A birth variable as the birthday line shows it: whole number without
// decimals ("1975", "3"), or "" while it is unset.
QString BirthPartText(const std::optional<double>& value);

// The birthday line (chart::BirthdayLine, shared with the printed page and
// torvela-cli) for the stored birth and the texts the hour and minute lists
// show: "…日出生時間不明" for hour "?", "…時頃" while the minute is empty or
// "?", "…時…分" otherwise.
QString BirthdayLine(const Module2& module, const QString& hourText, const QString& minuteText);

// The value a picked list item stands for: its longest leading decimal
// number ("?" gives 0).
double PickedValue(const QString& text);

// The items of a list of whole numbers first..last ("1".."29"), ascending.
QStringList NumberItems(int first, int last);

// The items of the hour list ("?", "0".."23") and the minute list ("?", "0".."59").
QStringList HourItems();
QStringList MinuteItems();

// The day the stored birth must be lowered to because its month is shorter
// in the month-length table (31 January -> April gives 30); nothing when the
// day fits or the month or day is not yet picked.
std::optional<int> ClampedDay(const Module2& module);

// First and last year listed by a century button of the year picker
// (1800 -> 1800..1899, 1900 -> 1900..1999, 2000 -> 2000..2080).
struct YearRange {
  int first = 0, last = 0;
};
YearRange CenturyYears(int century);

// The time-difference spin ranges.
inline constexpr int JisahunMin = -49, JisahunMax = 48;
inline constexpr int JisabyoMin = 0, JisabyoMax = 59;

// One spin step from the number the text box holds now (its longest leading
// decimal number in half-width form, truncated; a typed value is followed),
// clamped to min..max.
int SpinStep(const QString& text, int delta, int min, int max);

// The note shown beside the time-difference boxes when a text there is not
// a number (blanks around it allowed, full-width forms read as half-width),
// or is a value no place in Japan needs: minutes outside
// JisahunMin..JisahunMax, seconds outside 0..59. Empty when both are fine;
// an empty box counts as 0 and is fine. The chart reads the boxes as before.
QString TimeDifferenceHint(const QString& minutes, const QString& seconds);

}  // namespace torvela::ui
