// Cost of a chart with its sectional terms and the boundary search, against
// the chart alone.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifdef TORVELA_BENCH_JSON
#include <nlohmann/json.hpp>

#include "chart/ChartFields.h"
#endif

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "chart/Chart.h"

namespace {

using namespace torvela::chart;

const torvela::Tables& LoadedTables() {
  static const torvela::Tables tables = torvela::LoadTables(
      torvela::DataDirectory(std::filesystem::read_symlink("/proc/self/exe").parent_path()));
  return tables;
}

constexpr LocalTime kNow{2026, 12, 6, 12, 0};

// A spread of births over 1800..2080, summer time and before 1888 included.
ChartInput Birth(int i) {
  return InputFromTexts(1800 + (i * 37) % 281, 1 + i % 12, 1 + (i * 7) % 28,
                        i % 17 == 0 ? "?" : std::to_string(i % 24), std::to_string((i * 13) % 60),
                        i % 2 == 0, std::to_string(i % 40 - 20), std::to_string(i % 60));
}

// Births a few minutes from a sectional term, a true-solar midnight or an
// odd hour: each needs the chart at the boundary minutes.
ChartInput NearBoundary(int i) {
  const auto& tables = LoadedTables();
  const MomentSettings settings;
  ChartInput in = Birth(i);
  in.hourUnknown = in.minuteUnknown = false;
  const BirthReport r = ComputeBirth(in, settings, tables, kNow);
  const LocalTime t = r.nextTerm.trueSolar;
  const ChartInput near =
      InputFromTexts(t.year, t.month, t.day, std::to_string(t.hour),
                     std::to_string(std::max(0, t.minute - 10)), i % 2 == 0, "0", "0");
  return near;
}

void BM_ComputeChart(benchmark::State& state) {
  const auto& tables = LoadedTables();
  ChartInput inputs[256];
  for (int i = 0; i < 256; ++i) inputs[i] = Birth(i);
  int i = 0;
  for (auto _ : state) {
    auto r = ComputeChart(inputs[i++ & 255], tables, kNow);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ComputeChart);

// The mean over a spread of births, at each margin.
void BM_ComputeBirth(benchmark::State& state) {
  const auto& tables = LoadedTables();
  MomentSettings settings;
  settings.marginMinutes = static_cast<int>(state.range(0));
  ChartInput inputs[256];
  for (int i = 0; i < 256; ++i) inputs[i] = Birth(i);
  int i = 0;
  for (auto _ : state) {
    auto r = ComputeBirth(inputs[i++ & 255], settings, tables, kNow);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ComputeBirth)->Arg(10)->Arg(30)->Arg(60);

// Births ten minutes before a sectional term: the month and often the year
// change inside the window.
void BM_ComputeBirthNearTerm(benchmark::State& state) {
  const auto& tables = LoadedTables();
  MomentSettings settings;
  settings.marginMinutes = 60;
  ChartInput inputs[64];
  for (int i = 0; i < 64; ++i) inputs[i] = NearBoundary(i);
  int i = 0;
  for (auto _ : state) {
    auto r = ComputeBirth(inputs[i++ & 63], settings, tables, kNow);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ComputeBirthNearTerm);

// Births where the search does the most: near terms, on the nights the
// clocks changed for summer time (hour unknown: the whole date), around
// 1888-01-01 with the reading as local mean time.
std::vector<std::pair<ChartInput, MomentSettings>> HardBirths() {
  std::vector<std::pair<ChartInput, MomentSettings>> births;
  MomentSettings wide;
  wide.marginMinutes = 60;
  for (int i = 0; i < 256; ++i) births.emplace_back(Birth(i), wide);
  for (int i = 0; i < 64; ++i) births.emplace_back(NearBoundary(i), wide);
  for (const char* day : {"2", "12"}) {
    const int month = day[1] ? 9 : 5;
    for (const char* hour : {"?", "0", "1", "23"})
      births.emplace_back(InputFromTexts(1948, month, std::atoi(day) - (hour[0] == '2'), hour, "30",
                                         true, "-20", "0"),
                          wide);
  }
  MomentSettings lmt = wide;
  lmt.before1888 = Before1888::LocalMean;
  births.emplace_back(InputFromTexts(1887, 12, 31, "23", "40", true, "-20", "0"), lmt);
  births.emplace_back(InputFromTexts(1888, 1, 1, "?", "?", true, "-20", "0"), lmt);
  return births;
}

double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// The slowest birth: each birth's best time over the iterations (thread CPU
// time, so that a busy machine counts as little as it can), the worst of those.
void BM_ComputeBirthWorst(benchmark::State& state) {
  const auto& tables = LoadedTables();
  const auto births = HardBirths();
  std::vector<double> best(births.size(), 1e300);
  for (auto _ : state) {
    for (std::size_t i = 0; i < births.size(); ++i) {
      const double start = ThreadMicroseconds();
      auto r = ComputeBirth(births[i].first, births[i].second, tables, kNow);
      benchmark::DoNotOptimize(r);
      best[i] = std::min(best[i], ThreadMicroseconds() - start);
    }
  }
  state.counters["worst_us"] = *std::max_element(best.begin(), best.end());
  state.counters["births"] = static_cast<double>(births.size());
}
BENCHMARK(BM_ComputeBirthWorst)->Iterations(20)->Unit(benchmark::kMillisecond);

#ifdef TORVELA_BENCH_JSON
// One batch line: the birth with its terms and boundaries, the texts, and a
// JSON object of every result field, text and new field written out.
void BM_BatchLine(benchmark::State& state) {
  const auto& tables = LoadedTables();
  const MomentSettings settings;
  ChartInput inputs[256];
  for (int i = 0; i < 256; ++i) inputs[i] = Birth(i);
  int i = 0;
  for (auto _ : state) {
    const BirthReport r = ComputeBirth(inputs[i++ & 255], settings, tables, kNow);
    ChartTexts texts = MakeChartTexts(r.chart, tables);
    nlohmann::json line;
    nlohmann::json& result = line["result"];
    ForEachResultField(r.chart, [&result](const char* name, const auto& v) { result[name] = v; });
    nlohmann::json& t = line["texts"];
    ForEachTextField(texts, [&t](const char* name, const auto& v) { t[name] = v; });
    line["clockShiftMinutes"] = r.clockShiftMinutes;
    line["notices"] = r.notices;
    line["prevTerm"] = {{"name", r.prevTerm.name},
                        {"trueSolar", IsoMinuteText(r.prevTerm.trueSolar)}};
    line["nextTerm"] = {{"name", r.nextTerm.name},
                        {"trueSolar", IsoMinuteText(r.nextTerm.trueSolar)}};
    nlohmann::json& boundaries = line["boundaries"] = nlohmann::json::array();
    for (const Boundary& b : r.boundaries)
      boundaries.push_back({{"pillar", b.pillar}, {"clock", IsoMinuteText(b.clock)}, {"to", b.to}});
    std::string text = line.dump();
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BatchLine);
#endif

}  // namespace

BENCHMARK_MAIN();
