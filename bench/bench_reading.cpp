// Cost of the reading step per chart, beside the chart it reads. The batch
// with the reading on must stay at 40,000 charts a second or more on one
// core, so Read and its texts should cost a few microseconds at most.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "calc/Module2.h"
#include "chart/Chart.h"
#include "reading/Reading.h"
#include "reading/ReadingTexts.h"

namespace {

const torvela::Tables& LoadedTables() {
  static const torvela::Tables tables = torvela::LoadTables(
      torvela::DataDirectory(std::filesystem::read_symlink("/proc/self/exe").parent_path()));
  return tables;
}

const torvela::chart::LocalTime kNow{2026, 12, 6, 12, 0};

// 64 charts spread over the years, hours (some unknown) and both sexes.
struct Charts {
  torvela::chart::ChartResult results[64];
  int years[64];
  Charts() {
    for (int i = 0; i < 64; ++i) {
      years[i] = 1800 + (i * 37) % 281;
      results[i] = torvela::chart::ComputeChart(
          torvela::chart::InputFromTexts(years[i], 1 + i % 12, 1 + (i * 7) % 28,
                                         i % 17 == 0 ? "?" : std::to_string(i % 24),
                                         std::to_string((i * 13) % 60), i % 2 == 0, "0", "0"),
          LoadedTables(), kNow);
    }
  }
};

const Charts& Sample() {
  static const Charts charts;
  return charts;
}

void BM_Read(benchmark::State& state) {
  const Charts& c = Sample();
  int i = 0;
  for (auto _ : state) {
    const int k = i++ & 63;
    auto rd = torvela::reading::Read(c.results[k], c.years[k], kNow);
    benchmark::DoNotOptimize(rd);
  }
}
BENCHMARK(BM_Read);

void BM_ReadWithTexts(benchmark::State& state) {
  const Charts& c = Sample();
  const auto& tables = LoadedTables();
  int i = 0;
  for (auto _ : state) {
    const int k = i++ & 63;
    auto t = torvela::reading::MakeReadingTexts(
        torvela::reading::Read(c.results[k], c.years[k], kNow), tables);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_ReadWithTexts);

}  // namespace

BENCHMARK_MAIN();
