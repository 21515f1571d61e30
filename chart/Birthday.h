// The 誕生日 line: the birth as entered, in the words the main window, the
// popup, the printed page and torvela-cli all show. No Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvela::chart {

// The stored birth as far as it has been picked; an unset part is empty.
struct BirthParts {
  std::optional<double> year, month, day, hour, minute;
};

// A part as the line shows it: the whole number without decimals ("1975",
// "3"), or "" while it is unset.
std::string BirthPartText(const std::optional<double>& value);

// "1975年3月5日14時30分"; "…14時頃" while the minute list is empty or shows
// "?"; "…日出生時間不明" when the hour list shows "?". hourText and minuteText
// are what the lists show.
std::string BirthdayLine(const BirthParts& birth, std::string_view hourText,
                         std::string_view minuteText);

}  // namespace torvela::chart
