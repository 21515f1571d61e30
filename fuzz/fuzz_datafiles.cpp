// The data-file reader over arbitrary bytes. The first byte chooses which
// file the rest stands for (planet.txt, latitude.txt, or both, split at the
// first NUL); the other file keeps its shipped contents.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "calc/Module2.h"
#include "fuzz/Checks.h"

namespace {

using torvela::Tables;

bool SameTables(const Tables& a, const Tables& b) {
  return a.PlanetTermKeys == b.PlanetTermKeys && a.PlanetTermValues == b.PlanetTermValues &&
         a.LatitudeTermKeys == b.LatitudeTermKeys &&
         a.LatitudeTermValues == b.LatitudeTermValues && a.StemNames == b.StemNames;
}

// The loaded tables written back out with round-trip precision.
template <typename Keys, typename Values>
std::string Written(const Keys& keys, const Values& values) {
  std::string out;
  char buf[40];
  for (std::size_t i = 1; i < keys.size(); ++i) {
    for (auto k : keys[i]) out += std::to_string(k) + ",";
    for (double v : values[i]) {
      std::snprintf(buf, sizeof buf, "%.17g ", v);
      out += buf;
    }
    out += "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvela;
  using namespace torvela::fuzz;
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string_view planet = ShippedPlanetText(), latitude = ShippedLatitudeText();
  switch (data[0] % 3) {
    case 0: planet = bytes; break;
    case 1: latitude = bytes; break;
    default: {
      const std::size_t nul = bytes.find('\0');
      planet = bytes.substr(0, nul);
      latitude = nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
    }
  }

  const Tables& shipped = ShippedTables();
  Tables m = shipped;
  try {
    m = LoadTablesFromText(planet, latitude);
  } catch (const DataFileError& e) {
    CheckDataFileError(e);
    FUZZ_CHECK(SameTables(m, shipped));  // a failed load changes nothing
    return 0;
  }

  FUZZ_CHECK(m.StemNames[0] == "□" && m.WeekdayNames[7] == "土");
  for (int i = 1; i <= PlanetTermCount; ++i) {
    FUZZ_CHECK(m.PlanetTermKeys[i][0] >= 1 && m.PlanetTermKeys[i][0] <= 6);
    for (double v : m.PlanetTermValues[i]) FUZZ_CHECK(std::isfinite(v));
  }
  for (int i = 1; i <= LatitudeTermCount; ++i) {
    FUZZ_CHECK(m.LatitudeTermKeys[i][0] >= 1 && m.LatitudeTermKeys[i][0] <= 6);
    for (double v : m.LatitudeTermValues[i]) FUZZ_CHECK(std::isfinite(v));
  }
  // Whatever was accepted reads back the same from a plain layout.
  const Tables again = LoadTablesFromText(Written(m.PlanetTermKeys, m.PlanetTermValues),
                                          Written(m.LatitudeTermKeys, m.LatitudeTermValues));
  FUZZ_CHECK(SameTables(again, m));
  return 0;
}
