// What the chart tests share: the shipped tables loaded once, a fixed "now",
// and a chart's fields as bytes for comparisons and digests to the bit.
#pragma once

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "calc/Module2.h"
#include "chart/Chart.h"
#include "chart/ChartFields.h"

namespace torvela::chart::test {

inline constexpr LocalTime kNow{2026, 12, 6, 12, 0};

inline const Tables& ShippedTables() {
  static const Tables tables = LoadTables(TORVELA_TEST_DATA_DIR);
  return tables;
}

// (name, bytes) of every result field: strings with a closing NUL, the
// rest (doubles, arrays) as their bit patterns.
inline std::vector<std::pair<std::string, std::string>> FieldBytes(const ChartResult& r) {
  std::vector<std::pair<std::string, std::string>> out;
  ForEachResultField(r, [&out](const char* name, const auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
      out.emplace_back(name, field + '\0');
    } else {
      out.emplace_back(name, std::string(sizeof field, '\0'));
      std::memcpy(out.back().second.data(), &field, sizeof field);
    }
  });
  return out;
}

// The first field in which two charts differ to the bit, "" when none.
inline std::string FirstDifference(const ChartResult& a, const ChartResult& b,
                                   const std::set<std::string>& skip = {}) {
  const auto fa = FieldBytes(a), fb = FieldBytes(b);
  for (std::size_t i = 0; i < fa.size(); ++i)
    if (!skip.count(fa[i].first) && fa[i].second != fb[i].second) return fa[i].first;
  return "";
}

// FNV-1a, continued from h.
inline std::uint64_t Fnv(std::string_view bytes, std::uint64_t h = 1469598103934665603ull) {
  for (const unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

}  // namespace torvela::chart::test
