// Cost of a chart with its sectional terms and the boundary search, against
// the chart alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

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
  const ChartInput near = InputFromTexts(t.year, t.month, t.day, std::to_string(t.hour),
                                         std::to_string(std::max(0, t.minute - 10)), i % 2 == 0,
                                         "0", "0");
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

// The slowest of a spread of births, each timed on its own.
void BM_ComputeBirthWorst(benchmark::State& state) {
  const auto& tables = LoadedTables();
  MomentSettings settings;
  settings.marginMinutes = 60;
  double worst = 0;
  for (auto _ : state) {
    for (int i = 0; i < 512; ++i) {
      const ChartInput in = i < 256 ? Birth(i) : NearBoundary(i - 256);
      const auto start = std::chrono::steady_clock::now();
      auto r = ComputeBirth(in, settings, tables, kNow);
      benchmark::DoNotOptimize(r);
      const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
      worst = std::max(worst, took.count());
    }
  }
  state.counters["worst_us"] = worst;
}
BENCHMARK(BM_ComputeBirthWorst)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
