// Cost of one sun position and one equation of time.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "calc/Module2.h"

namespace {

std::filesystem::path ExeDir() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

void BM_SunPosition(benchmark::State& state) {
  const torvela::Tables tables = torvela::LoadTables(torvela::DataDirectory(ExeDir()));
  double day = 1.0;
  for (auto _ : state) {
    const torvela::SunState s = torvela::SunPosition(tables, 1975, 2, day);
    benchmark::DoNotOptimize(s.SunLongitude);
    day += 0.731;  // a new moment every call
    if (day > 36500) day = 1.0;
  }
}
BENCHMARK(BM_SunPosition);

void BM_ComputeEquationOfTime(benchmark::State& state) {
  double day = 1.0;
  for (auto _ : state) {
    torvela::EquationOfTime e = torvela::ComputeEquationOfTime(1975, 2, day);
    benchmark::DoNotOptimize(e);
    day += 0.731;
    if (day > 36500) day = 1.0;
  }
}
BENCHMARK(BM_ComputeEquationOfTime);

}  // namespace

BENCHMARK_MAIN();
