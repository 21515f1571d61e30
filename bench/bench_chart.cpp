// Cost of one chart against the two sun positions it needs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "calc/Module2.h"
#include "chart/Chart.h"

namespace {

const torvela::Tables& LoadedTables() {
  static const torvela::Tables tables = torvela::LoadTables(
      torvela::DataDirectory(std::filesystem::read_symlink("/proc/self/exe").parent_path()));
  return tables;
}

// A spread of births so that no branch or table row is favoured.
torvela::chart::ChartInput Birth(int i) {
  return torvela::chart::InputFromTexts(1800 + (i * 37) % 281, 1 + i % 12, 1 + (i * 7) % 28,
                                        i % 17 == 0 ? "?" : std::to_string(i % 24),
                                        std::to_string((i * 13) % 60), i % 2 == 0,
                                        std::to_string(i % 40 - 20), std::to_string(i % 60));
}

void BM_ComputeChart(benchmark::State& state) {
  const auto& tables = LoadedTables();
  const torvela::chart::LocalTime now{2026, 12, 6, 12, 0};
  torvela::chart::ChartInput inputs[64];
  for (int i = 0; i < 64; ++i) inputs[i] = Birth(i);
  int i = 0;
  for (auto _ : state) {
    auto r = torvela::chart::ComputeChart(inputs[i++ & 63], tables, now);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ComputeChart);

void BM_TwoSunPositions(benchmark::State& state) {
  const auto& tables = LoadedTables();
  int i = 0;
  for (auto _ : state) {
    const double year = 1800 + (i * 37) % 281, month = 1 + i % 12, day = 1 + (i * 7) % 28 + 0.4;
    ++i;
    const auto a = torvela::SunPosition(tables, year, month, day);
    const auto b = torvela::SunPosition(tables, year, month, day - 0.0057);
    benchmark::DoNotOptimize(a.SunLongitude);
    benchmark::DoNotOptimize(b.SunLongitude);
  }
}
BENCHMARK(BM_TwoSunPositions);

void BM_ChartTexts(benchmark::State& state) {
  const auto& tables = LoadedTables();
  const auto r = torvela::chart::ComputeChart(Birth(5), tables, {2026, 12, 6, 12, 0});
  for (auto _ : state) {
    auto t = torvela::chart::MakeChartTexts(r, tables);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_ChartTexts);

}  // namespace

BENCHMARK_MAIN();
