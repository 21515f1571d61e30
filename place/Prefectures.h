// The 47 prefectures by their JIS X 0401 number (the first two digits of a
// local-government code), with the readings the search accepts for them.
#pragma once

#include <string_view>

namespace torvela::place {

struct Prefecture {
  std::string_view name;           // 東京都
  std::string_view stem;           // 東京 (北海道 keeps its whole name)
  std::string_view reading;        // とうきょう, without the suffix
  std::string_view suffixReading;  // と, ふ, けん; empty for 北海道
  std::string_view romaji;         // tokyo, without the suffix
  std::string_view suffixRomaji;   // to, fu, ken; empty for 北海道
};

// Prefecture number 1..47; nullptr for any other number.
const Prefecture* PrefectureByNumber(int number);

}  // namespace torvela::place
