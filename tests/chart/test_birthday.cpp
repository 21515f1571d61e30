// The 誕生日 line as the windows, the printed page and torvela-cli show it.
#include <gtest/gtest.h>

#include "chart/Birthday.h"

namespace torvela::chart {
namespace {

TEST(BirthdayLine, WordingFollowsTheLists) {
  const BirthParts full{1975, 3, 5, 14, 30};
  const BirthParts picking{1975, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
  const struct { BirthParts birth; const char *hour, *minute, *line; } rows[] = {
      {full, "14", "30", "1975年3月5日14時30分"},
      {full, "14", "?", "1975年3月5日14時頃"},
      {full, "14", "", "1975年3月5日14時頃"},
      {full, "?", "30", "1975年3月5日出生時間不明"},
      {full, "?", "", "1975年3月5日出生時間不明"},
      {{1975, 3, 5, 0, 5}, "0", "5", "1975年3月5日0時5分"},
      {{1800.0, 12, 31, 23.9, 59}, "23", "59", "1800年12月31日23時59分"},
      // While the inputs are picked one by one, the unset parts are blank.
      {picking, "", "", "1975年月日時頃"},
  };
  for (const auto& r : rows)
    EXPECT_EQ(BirthdayLine(r.birth, r.hour, r.minute), r.line) << r.line;
  EXPECT_EQ(BirthPartText(std::nullopt), "");
  EXPECT_EQ(BirthPartText(-3.5), "-3");
}

}  // namespace
}  // namespace torvela::chart
