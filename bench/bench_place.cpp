// One keystroke's search over the whole gazetteer, for the queries that make
// it work hardest, and the load at start-up.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "calc/Module2.h"
#include "place/Gazetteer.h"

namespace {

std::filesystem::path GazetteerFile() {
  return torvela::DataDirectory(std::filesystem::read_symlink("/proc/self/exe").parent_path()) /
         torvela::place::kGazetteerFileName;
}

const torvela::place::Gazetteer& Loaded() {
  static const torvela::place::Gazetteer gazetteer = torvela::place::Gazetteer::Load(GazetteerFile());
  return gazetteer;
}

// The suggestion list shows this many rows.
constexpr std::size_t kRows = 20;

void BM_Search(benchmark::State& state, const std::string& query) {
  const auto& gazetteer = Loaded();
  std::size_t found = 0;
  for (auto _ : state) {
    auto result = gazetteer.Search(query, kRows);
    found = result.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["found"] = static_cast<double>(found);
}

// One kanji in a third of all names; one kana at the start of many readings;
// one letter at the start of many rōmaji; half-width kana in two words; a
// prefecture filter; a prefecture alone (no match, then its list); nothing
// found after a full scan; a long paste.
BENCHMARK_CAPTURE(BM_Search, kanji_in_many_names, std::string("町"));
BENCHMARK_CAPTURE(BM_Search, kana_prefix_of_many, std::string("し"));
BENCHMARK_CAPTURE(BM_Search, one_letter, std::string("s"));
BENCHMARK_CAPTURE(BM_Search, halfwidth_two_words, std::string("ｻｯﾎﾟﾛｼ ﾁｭｳｵｳｸ"));
BENCHMARK_CAPTURE(BM_Search, prefecture_filter, std::string("ほっかいどう きた"));
BENCHMARK_CAPTURE(BM_Search, prefecture_alone, std::string("hokkaido"));
BENCHMARK_CAPTURE(BM_Search, no_match, std::string("ニューヨーク"));
BENCHMARK_CAPTURE(BM_Search, long_paste,
                  std::string("東京都千代田区千代田一丁目一番一号皇居東御苑のあたりで生まれました"));

void BM_Load(benchmark::State& state) {
  const auto file = GazetteerFile();
  for (auto _ : state) {
    auto gazetteer = torvela::place::Gazetteer::Load(file);
    benchmark::DoNotOptimize(gazetteer);
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
