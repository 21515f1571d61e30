// One torvela-cli --batch line over arbitrary bytes: the function the CLI
// calls for each line. Its output is one JSON line that reads back, carries
// the line number first, and either an error or the chart that the line's
// birth gives when computed directly, every number to the bit, followed by
// the fields chosen (the input's length picks them): the moment's, the
// reading and the place, each as computed directly.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <type_traits>

#include <vector>

#include "chart/BirthMoment.h"
#include "chart/ChartFields.h"
#include "cli/ChartIo.h"
#include "fuzz/Checks.h"
#include "reading/Reading.h"
#include "reading/ReadingFields.h"

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

template <typename T>
struct IsVector : std::false_type {};
template <typename T>
struct IsVector<std::vector<T>> : std::true_type {};

template <typename Walk>
void CheckObject(const Json& obj, Walk walk);

// j is the value expected: scalars and arrays to the bit, lists element by
// element, records of the reading as objects.
template <typename T>
void CheckValue(const Json& j, const T& expected) {
  if constexpr (IsVector<T>::value) {
    FUZZ_CHECK(j.is_array() && j.size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) CheckValue(j[i], expected[i]);
  } else if constexpr (torvela::reading::Record<T>) {
    CheckObject(j, [&](auto f) { ForEachField(expected, f); });
  } else {
    T got{};
    Read(j, got);
    FUZZ_CHECK(Same(got, expected));
  }
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
    CheckValue(*it, expected);
    ++fields;
  });
  FUZZ_CHECK(obj.size() == fields);
}

void CheckTerm(const Json& j, const torvela::chart::TermReport& term) {
  if (term.name.empty()) {
    FUZZ_CHECK(j.is_null());
    return;
  }
  FUZZ_CHECK(j.is_object() && j.size() == 2);
  FUZZ_CHECK(j["name"] == term.name && j["trueSolar"] == torvela::chart::IsoMinuteText(term.trueSolar));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvela;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  constexpr long kLine = 42;
  constexpr chart::LocalTime kNow{2026, 5, 1, 12, 0};
  const Tables& tables = fuzz::ShippedTables();
  static const cli::PlaceBook places(fuzz::ShippedGazetteerPath());
  const cli::Fields fields{(size & 1) != 0, (size & 2) != 0, (size & 4) != 0};
  const cli::BatchContext context{tables, kNow, {}, fields, &places};
  std::string out;
  const bool ok = cli::BatchLine(line, kLine, context, out);

  FUZZ_CHECK(!out.empty() && out.find('\n') == out.size() - 1);
  FUZZ_CHECK(fuzz::ValidUtf8(out));
  const Json v = Json::parse(std::string_view(out).substr(0, out.size() - 1), nullptr, false);
  FUZZ_CHECK(v.is_object() && !v.empty());
  FUZZ_CHECK(v.begin().key() == "line" && v["line"] == kLine);

  cli::Birth birth;
  chart::LocalTime now = kNow;
  std::string error;
  FUZZ_CHECK(cli::ReadBatchLine(line, context, birth, now, error) == ok);
  if (!ok) {
    FUZZ_CHECK(v.size() == 2 && v.contains("error"));
    FUZZ_CHECK(v["error"].is_string() && !v["error"].get<std::string>().empty());
    return 0;
  }

  // Today's members in today's order, then the chosen ones.
  std::vector<std::string> keys = {"line", "texts", "bold", "result"};
  if (fields.moment)
    keys.insert(keys.end(), {"clockShiftMinutes", "notices", "prevTerm", "nextTerm", "boundaries"});
  if (fields.reading) keys.push_back("reading");
  if (fields.place && birth.place) keys.push_back("place");
  FUZZ_CHECK(v.size() == keys.size());
  std::size_t k = 0;
  for (auto it = v.begin(); it != v.end(); ++it) FUZZ_CHECK(it.key() == keys[k++]);

  // The whole birth computed directly: its chart is the one written whether
  // or not the moment was asked for.
  const chart::BirthReport b = chart::ComputeBirth(cli::InputOf(birth), birth.moment, tables, now);
  const chart::ChartResult& r = b.chart;
  const chart::ChartTexts t = chart::MakeChartTexts(r, tables);
  CheckObject(v["texts"], [&](auto f) { chart::ForEachTextField(t, f); });
  CheckObject(v["result"], [&](auto f) { chart::ForEachResultField(r, f); });
  FUZZ_CHECK(v["bold"].is_number_integer() && v["bold"] == t.bold);
  fuzz::CheckChart(b.input, r, t, tables);

  if (fields.moment) {
    FUZZ_CHECK(v["clockShiftMinutes"] == b.clockShiftMinutes);
    CheckValue(v["notices"], b.notices);
    CheckTerm(v["prevTerm"], b.prevTerm);
    CheckTerm(v["nextTerm"], b.nextTerm);
    const Json& boundaries = v["boundaries"];
    FUZZ_CHECK(boundaries.is_array() && boundaries.size() == b.boundaries.size());
    for (std::size_t i = 0; i < b.boundaries.size(); ++i) {
      const Json& x = boundaries[i];
      FUZZ_CHECK(x.is_object() && x.size() == 3);
      FUZZ_CHECK(x["pillar"] == b.boundaries[i].pillar && x["to"] == b.boundaries[i].to &&
                 x["clock"] == chart::IsoMinuteText(b.boundaries[i].clock));
    }
  }
  if (fields.reading) {
    const reading::ReadingTexts expected = reading::MakeReadingTexts(
        reading::Read(r, static_cast<int>(b.input.year), now), tables);
    CheckObject(v["reading"], [&](auto f) { reading::ForEachReadingField(expected, f); });
  }
  if (birth.place) {
    // The place decides the time difference, as a click on the map would.
    const chart::TimeDifferenceTexts diff = place::TimeDifferenceOf(*birth.place);
    FUZZ_CHECK(birth.jisahun == diff.minutes && birth.jisabyo == diff.seconds);
    if (fields.place) {
      const Json& p = v["place"];
      FUZZ_CHECK(p.is_object() && p.size() == 5);
      FUZZ_CHECK(p["code"] == birth.place->code && p["prefecture"] == birth.place->prefecture &&
                 p["name"] == birth.place->name);
      double longitude = 0, latitude = 0;
      Read(p["longitude"], longitude);
      Read(p["latitude"], latitude);
      FUZZ_CHECK(Same(longitude, birth.place->longitude) && Same(latitude, birth.place->latitude));
    }
  }
  return 0;
}
