// One torvela-cli --batch line over arbitrary bytes: the function the CLI
// calls for each line. Its output is one JSON line that reads back, carries
// the line number first, and either an error or the chart that the line's
// birth gives when computed directly, every number to the bit.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <type_traits>

#include "chart/ChartFields.h"
#include "cli/ChartIo.h"
#include "fuzz/Checks.h"

namespace {

using Json = nlohmann::ordered_json;

void Read(const Json& j, std::string& s) {
  FUZZ_CHECK(j.is_string());
  s = j.get<std::string>();
}
void Read(const Json& j, int& n) {
  FUZZ_CHECK(j.is_number_integer());
  n = j.get<int>();
}
void Read(const Json& j, bool& b) {
  FUZZ_CHECK(j.is_boolean());
  b = j.get<bool>();
}
// Non-finite values are written as null.
void Read(const Json& j, double& x) {
  FUZZ_CHECK(j.is_number() || j.is_null());
  x = j.is_null() ? std::numeric_limits<double>::quiet_NaN() : j.get<double>();
}
template <typename T, std::size_t N>
void Read(const Json& j, std::array<T, N>& a) {
  FUZZ_CHECK(j.is_array() && j.size() == N);
  for (std::size_t i = 0; i < N; ++i) Read(j[i], a[i]);
}

template <typename T>
bool Same(const T& a, const T& b) {
  return a == b;
}
bool Same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}
template <typename T, std::size_t N>
bool Same(const std::array<T, N>& a, const std::array<T, N>& b) {
  for (std::size_t i = 0; i < N; ++i)
    if (!Same(a[i], b[i])) return false;
  return true;
}

// obj has exactly the fields walk names, each reading back to the value
// computed directly.
template <typename Walk>
void CheckObject(const Json& obj, Walk walk) {
  FUZZ_CHECK(obj.is_object());
  std::size_t fields = 0;
  walk([&](const char* name, const auto& expected) {
    const auto it = obj.find(name);
    FUZZ_CHECK(it != obj.end());
    std::remove_cvref_t<decltype(expected)> got{};
    Read(*it, got);
    FUZZ_CHECK(Same(got, expected));
    ++fields;
  });
  FUZZ_CHECK(obj.size() == fields);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvela;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  constexpr long kLine = 42;
  constexpr chart::LocalTime kNow{2026, 5, 1, 12, 0};
  const Tables& tables = fuzz::ShippedTables();
  std::string out;
  const bool ok = cli::BatchLine(line, kLine, tables, kNow, out);

  FUZZ_CHECK(!out.empty() && out.find('\n') == out.size() - 1);
  FUZZ_CHECK(fuzz::ValidUtf8(out));
  const Json v = Json::parse(std::string_view(out).substr(0, out.size() - 1), nullptr, false);
  FUZZ_CHECK(v.is_object() && !v.empty());
  FUZZ_CHECK(v.begin().key() == "line" && v["line"] == kLine);

  cli::Birth birth;
  chart::LocalTime now = kNow;
  std::string error;
  FUZZ_CHECK(cli::ReadBatchLine(line, birth, now, error) == ok);
  if (!ok) {
    FUZZ_CHECK(v.size() == 2 && v.contains("error"));
    FUZZ_CHECK(v["error"].is_string() && !v["error"].get<std::string>().empty());
    return 0;
  }
  FUZZ_CHECK(v.size() == 4 && v.contains("texts") && v.contains("bold") && v.contains("result"));
  const chart::ChartInput input = cli::InputOf(birth);
  const chart::ChartResult r = chart::ComputeChart(input, tables, now);
  const chart::ChartTexts t = chart::MakeChartTexts(r, tables);
  CheckObject(v["texts"], [&](auto f) { chart::ForEachTextField(t, f); });
  CheckObject(v["result"], [&](auto f) { chart::ForEachResultField(r, f); });
  FUZZ_CHECK(v["bold"].is_number_integer() && v["bold"] == t.bold);
  fuzz::CheckChart(input, r, t, tables);
  return 0;
}
