// torvela-cli's batch: reading a line, writing a chart, one line end to end
// with each choice of --fields, and whole batches on one thread and on two.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "calc/Module2.h"
#include "cli/Batch.h"
#include "cli/ChartIo.h"

namespace {

const torvela::Tables& LoadedTables() {
  static const torvela::Tables tables = torvela::LoadTables(
      torvela::DataDirectory(std::filesystem::read_symlink("/proc/self/exe").parent_path()));
  return tables;
}

constexpr torvela::chart::LocalTime Now{2026, 12, 6, 12, 0};

// --fields as the benchmarks' argument: chart, chart+reading, chart+moment, all.
torvela::cli::Fields FieldsOf(std::int64_t arg) {
  switch (arg) {
    case 0: return torvela::cli::ChartOnly;
    case 1: return {false, true, false};
    case 2: return {true, false, false};
    default: return {};
  }
}

torvela::cli::BatchContext Context(std::int64_t fields) {
  return {LoadedTables(), Now, {}, FieldsOf(fields), nullptr};
}

// Line i of tools/batch_lines.py, with the day kept within every month.
std::string Line(int i) {
  const auto text = [](const std::string& s) { return "\"" + s + "\""; };
  return "{\"year\": " + std::to_string(1800 + (i * 37) % 281) +
         ", \"month\": " + std::to_string(1 + (i * 5) % 12) +
         ", \"day\": " + std::to_string(1 + (i * 11) % 28) +
         ", \"hour\": " + text(i % 23 == 0 ? "?" : std::to_string(i % 24)) +
         ", \"minute\": " + text(i % 29 == 0 ? "?" : std::to_string((i * 7) % 60)) +
         ", \"sex\": " + text(i % 2 ? "男" : "女") +
         ", \"jisahun\": " + text(std::to_string(i % 97 - 48)) +
         ", \"jisabyo\": " + text(std::to_string((i * 13) % 60)) + "}";
}

std::vector<std::string> Lines(int n) {
  std::vector<std::string> lines;
  for (int i = 0; i < n; ++i) lines.push_back(Line(i));
  return lines;
}

void BM_ReadBatchLine(benchmark::State& state) {
  const auto lines = Lines(64);
  const auto context = Context(0);
  std::size_t i = 0;
  for (auto _ : state) {
    torvela::cli::Birth birth;
    torvela::chart::LocalTime now = Now;
    std::string error;
    benchmark::DoNotOptimize(
        torvela::cli::ReadBatchLine(lines[i++ & 63], context, birth, now, error));
    benchmark::DoNotOptimize(birth);
  }
}
BENCHMARK(BM_ReadBatchLine);

void BM_ChartJson(benchmark::State& state) {
  const auto& tables = LoadedTables();
  const auto r = torvela::chart::ComputeChart(
      torvela::chart::InputFromTexts(1980, 3, 1, "0", "10", false, "-18", "30"), tables, Now);
  const auto t = torvela::chart::MakeChartTexts(r, tables);
  std::string out;
  for (auto _ : state) {
    out.clear();
    torvela::cli::AppendChartJson(out, 1, t, r);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ChartJson);

// The fields after the chart: the moment's and the reading's.
void BM_RecordJson(benchmark::State& state) {
  const auto& tables = LoadedTables();
  torvela::cli::Birth birth;
  torvela::chart::LocalTime now = Now;
  std::string error;
  if (!torvela::cli::ReadBatchLine(Line(1), Context(0), birth, now, error))
    state.SkipWithError(error.c_str());
  const auto record = torvela::cli::ComputeRecord(birth, tables, Now, {});
  std::string out;
  for (auto _ : state) {
    out.clear();
    torvela::cli::AppendRecordJson(out, 1, record, {});
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RecordJson);

// One line end to end; the argument is the --fields choice of FieldsOf.
void BM_BatchLine(benchmark::State& state) {
  const auto lines = Lines(64);
  const auto context = Context(state.range(0));
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    out.clear();
    benchmark::DoNotOptimize(torvela::cli::BatchLine(lines[i & 63], static_cast<long>(i), context,
                                                     out));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BatchLine)->DenseRange(0, 3)->ArgName("fields");

// A whole batch of the chart alone from a file to /dev/null; the argument is
// --jobs. Wall time, since the work is spread over threads.
void BM_Batch(benchmark::State& state) {
  const auto context = Context(0);
  constexpr int Count = 20000;
  const auto path = std::filesystem::temp_directory_path() /
                    ("torvela-bench-" + std::to_string(getpid()) + ".jsonl");
  {
    std::FILE* f = std::fopen(path.c_str(), "w");
    for (int i = 0; i < Count; ++i) std::fprintf(f, "%s\n", Line(i).c_str());
    std::fclose(f);
  }
  const int sink = ::open("/dev/null", O_WRONLY);
  for (auto _ : state) {
    const int in = ::open(path.c_str(), O_RDONLY);
    const auto outcome =
        torvela::cli::RunBatch(in, sink, context, static_cast<int>(state.range(0)));
    ::close(in);
    if (outcome.failedLine || outcome.readError || outcome.writeError)
      state.SkipWithError("the batch failed");
  }
  ::close(sink);
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * Count);
}
BENCHMARK(BM_Batch)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
