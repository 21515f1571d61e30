#include "chart/Birthday.h"

#include <cstdint>

#include "calc/Numeric.h"

namespace torvela::chart {

std::string BirthPartText(const std::optional<double>& value) {
  if (!value) return {};
  return WholeText(static_cast<std::int64_t>(Fix(*value)));
}

std::string BirthdayLine(const BirthParts& birth, std::string_view hourText,
                         std::string_view minuteText) {
  const std::string date = BirthPartText(birth.year) + "年" + BirthPartText(birth.month) + "月" +
                           BirthPartText(birth.day) + "日";
  if (hourText == "?") return date + "出生時間不明";
  const std::string hour = BirthPartText(birth.hour) + "時";
  if (minuteText.empty() || minuteText == "?") return date + hour + "頃";
  return date + hour + BirthPartText(birth.minute) + "分";
}

}  // namespace torvela::chart
