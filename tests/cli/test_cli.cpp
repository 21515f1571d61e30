// Runs the built torvela-cli as a user would: options, JSON, batches, and
// the exit statuses.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "chart/ChartFields.h"
#include "cli/Batch.h"
#include "cli/ChartIo.h"

namespace {

struct CliRun { int status = -1; std::string out, err; };

// stdinPath and stdoutPath replace the input and the captured output.
CliRun Cli(const std::vector<std::string>& args, const std::string& input = "",
           const char* stdinPath = nullptr, const char* stdoutPath = nullptr) {
  const auto dir = std::filesystem::temp_directory_path() / ("tvcli-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  std::string cmd = "'" TORVELA_CLI "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  const auto at = [&](const char* name) {
    // Appended piece by piece: "'" + s + "'" trips GCC 12's -Wrestrict at -O3.
    std::string quoted = "'";
    quoted += (dir / name).string();
    quoted += '\'';
    return quoted;
  };
  cmd += " < " + (stdinPath ? std::string(stdinPath) : at("in")) + " > " +
         (stdoutPath ? std::string(stdoutPath) : at("out")) + " 2> " + at("err");
  const int raw = std::system(cmd.c_str());
  const auto slurp = [&](const char* name) {
    return (std::ostringstream() << std::ifstream(dir / name, std::ios::binary).rdbuf()).str();
  };
  CliRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp("out"), slurp("err")};
  std::filesystem::remove_all(dir);
  return r;
}

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> lines;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

bool Has(const std::string& s, const std::string& part) { return s.find(part) != s.npos; }

std::string Replaced(std::string s, const std::string& from, const std::string& to) {
  return s.replace(s.find(from), from.size(), to);
}

// One batch line; an empty hour leaves its key out.
std::string J(int y, int m, int d, const std::string& h, const std::string& sex, const char* hun,
              const char* byo, const std::string& extra = "") {
  const auto n = [](int v) { return std::to_string(v); };
  return "{\"year\":" + n(y) + ",\"month\":" + n(m) + ",\"day\":" + n(d) +
         (h.empty() ? "" : ",\"hour\":\"" + h + "\"") + ",\"minute\":\"10\",\"sex\":\"" + sex +
         "\",\"jisahun\":\"" + hun + "\",\"jisabyo\":\"" + byo + "\"" + extra + "}";
}

const std::string Now = "--now=2026-12-06T12:00";

TEST(Cli, PlainChartAndUnknownTimes) {
  const CliRun r =
      Cli({"--date=1980-03-01", "--time=00:10", "--sex=女", "--jisa=-18", "--jisa-sec=30", Now});
  ASSERT_EQ(r.status, 0) << r.err;
  // Pillars run hour, day, month, year from left to right.
  for (const char* part : {"真太陽時：1980年2月29日23時", "土曜日", "旺", "現在",
                           "時    日    月    年"})
    EXPECT_TRUE(Has(r.out, part)) << part << "\n" << r.out;
  for (const char* time : {"--time=?:?", "--hour=?", "--time=?:30"}) {
    const CliRun u = Cli({"--date=1975-08-20", time, "--json", Now});
    EXPECT_TRUE(u.status == 0 && Has(u.out, "\"txtShin\":\"1975年8月20日確定不能\"") &&
                Has(u.out, "\"hKan\":\"□\"")) << time << u.out;
  }
  const CliRun minuteUnknown = Cli({"--date=1975-08-20", "--time=14:?", "--json", Now});
  EXPECT_EQ(minuteUnknown.status, 0);
  EXPECT_EQ(minuteUnknown.out, Cli({"--date=1975-08-20", "--time=14:0", "--json", Now}).out);
}

TEST(Cli, BadOptionsExitTwoAndMissingDataExitsOne) {
  const std::vector<std::vector<std::string>> cases = {
      {"--date=1980-02-30", "--time=1:00"}, {"--date=1799-12-31", "--time=1:00"},
      {"--date=1980-03-01"}, {"--date=1980-03-01", "--hour=5"},
      {"--date=1980-03-01", "--time=24:00"}, {"--date=1980-03-01", "--time=1:60"},
      {"--date=1980-03-01", "--time=1:00", "--sex=x"},
      {"--date=1980-03-01", "--time=1:00", "--now=2026-13-01T00:00"}, {"--bogus"}, {"--date"},
      {"--batch", "--date=1980-03-01"}, {"--batch", "--jobs=0"}, {"--batch", "--jobs=x"},
      {"--batch", "--jobs=-2"}, {"--batch", "--jobs"},
      {"--date=1980-03-01", "--time=1:00", "--jobs=2"},
  };
  for (const auto& args : cases) {
    const CliRun r = Cli(args);
    EXPECT_TRUE(r.status == 2 && Has(r.err, "torvela-cli:") && r.out.empty()) << args.back();
  }
  const CliRun r = Cli({"--date=1980-03-01", "--time=1:00", "--data=/nonexistent-torvela"});
  EXPECT_TRUE(r.status == 1 && Has(r.err, "planet.txt") && r.out.empty()) << r.err;
}

TEST(Cli, BatchGoodBadAndMixedLines) {
  const std::string good = J(1980, 3, 1, "0", "女", "-18", "30");
  // part: of its output line; nullptr: no output line at all.
  struct Row { std::string in; bool ok; const char* part; } const rows[] = {
      {good, 1, "\"line\":1,"}, {"not json", 0, "\"line\":2,"}, {"", 0, nullptr},
      {J(1980, 2, 30, "0", "女", "0", "0"), 0, "day"},
      {J(2081, 1, 1, "0", "男", "0", "0"), 0, "year"},
      // Its own "now" and "-0" minutes (28 s west) reach the chart.
      {J(1980, 3, 1, "?", "男", "-0", "28", ",\"now\":\"1990-01-01T00:00\""), 1, "\"txtAge\":\"9"},
      {J(1980, 3, 1, "", "男", "0", "0"), 0, "hour: ありません"},
      {J(1980, 3, 1, "7", "X", "0", "0"), 0, "sex"},
      {"[1,2]", 0, "\"line\":9,"}, {good, 1, "\"line\":10,"},
      {std::string(65, '[') + std::string(65, ']'), 0, "nesting deeper than 64"},
      {std::string(64, '[') + std::string(64, ']'), 0, "not a JSON object"},
      // The last of repeated keys counts; a whole number may have a fraction part.
      {"{\"year\":1700," + good.substr(1), 1, "\"txtAge\""},
      {Replaced(good, "1980", "1980.0"), 1, "\"txtAge\""},
      {Replaced(good, "1980", "1980.5"), 0, "year: "},
      // Bytes that are not UTF-8 are refused, and the message quoting them
      // is still UTF-8.
      {Replaced(good, "-18", "\xff\xfe"), 0, "invalid JSON"},
      {Replaced(good, "1980", "1e999"), 0, "invalid JSON"},
  };
  std::string input;
  for (const Row& row : rows) input += row.in + "\n";
  const CliRun r = Cli({"--batch", Now}, input);
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), std::size(rows) - 1) << r.out;
  for (std::size_t i = 0, out = 0; i < std::size(rows); ++i) {
    if (!rows[i].part) continue;
    const std::string& l = lines[out++];
    EXPECT_EQ(l.rfind("{\"line\":" + std::to_string(i + 1) + ",", 0), 0u) << l;
    EXPECT_TRUE(Has(l, "\"error\":") != rows[i].ok && Has(l, rows[i].part)) << l;
    EXPECT_TRUE(nlohmann::json::accept(l)) << l;
  }
  // The same chart as the single-chart JSON, with its line number in front.
  const CliRun one =
      Cli({"--date=1980-03-01", "--time=0:10", "--jisa=-18", "--jisa-sec=30", "--json", Now});
  ASSERT_EQ(one.status, 0);
  EXPECT_EQ(lines[0], "{\"line\":1," + one.out.substr(1, one.out.size() - 2));
  EXPECT_TRUE(Has(lines[4], "\"timeDiffDays\":-0.000324074")) << lines[4];
  const CliRun allGood = Cli({"--batch", Now}, good + "\n" + good + "\n");
  EXPECT_TRUE(allGood.status == 0 && Lines(allGood.out).size() == 2u) << allGood.err;
}

// Births spread as tools/batch_lines.py spreads them, with blank lines, lines
// that are not JSON and dates not in the calendar among them. A repeated
// "minute" key (the last counts) varies the minute.
std::string MixedLines(int count) {
  std::string in;
  for (int i = 0; i < count; ++i) {
    const int year = 1800 + (i * 37) % 281;
    const std::string hour = i % 23 == 0 ? "?" : std::to_string(i % 24);
    const std::string minute = ",\"minute\":\"" + std::to_string(i * 7 % 60) + "\"";
    switch (i % 16) {
      case 3: in += "\n"; break;
      case 7: in += " \t\r\n"; break;
      case 9: in += "{\"year\":" + std::to_string(year) + "\n"; break;
      case 12: in += J(year, 2, 30, hour, "男", "0", "0") + "\n"; break;
      default:
        in += J(year, 1 + i * 5 % 12, 1 + i * 11 % 28, hour, i % 2 ? "男" : "女",
                std::to_string(i % 97 - 48).c_str(), std::to_string(i * 13 % 60).c_str(), minute) +
              "\n";
    }
  }
  return in;
}

TEST(Cli, ParallelBatchEqualsOneCoreAndNumbersReadBack) {
  const std::string in = MixedLines(20000);
  const CliRun one = Cli({"--batch", "--jobs=1", Now}, in);
  ASSERT_EQ(one.status, 1) << one.err;
  const CliRun two = Cli({"--batch", "--jobs=2", Now}, in);
  EXPECT_EQ(two.status, 1) << two.err;
  EXPECT_TRUE(two.out == one.out) << "--jobs=2 differs from --jobs=1";
  const auto inLines = Lines(in), outLines = Lines(one.out);
  ASSERT_EQ(outLines.size(), 20000u - 2500u);

  // Every number of a sample of the charts is the double computed directly.
  const torvela::Tables tables = torvela::LoadTables(
      torvela::DataDirectory(std::filesystem::path(TORVELA_CLI).parent_path()));
  int charts = 0;
  for (std::size_t k = 0; k < outLines.size(); k += 37) {
    const auto out = nlohmann::json::parse(outLines[k]);
    if (out.contains("error")) continue;
    const std::string& line = inLines.at(out["line"].get<std::size_t>() - 1);
    torvela::cli::Birth birth;
    torvela::chart::LocalTime now{2026, 12, 6, 12, 0};
    std::string error;
    ASSERT_TRUE(torvela::cli::ReadBatchLine(line, birth, now, error)) << line;
    const auto r = torvela::chart::ComputeChart(torvela::cli::InputOf(birth), tables, now);
    torvela::chart::ForEachResultField(r, [&](const char* name, const auto& field) {
      if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, double>) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(out["result"][name].get<double>()),
                  std::bit_cast<std::uint64_t>(field)) << name << " in " << outLines[k];
      }
    });
    ++charts;
  }
  EXPECT_GT(charts, 300);
}

TEST(Cli, ReadAndWriteErrorsExitThree) {
  // More lines than the chunks in flight, so that the reader is waiting
  // when the output fails.
  std::string many;
  for (int i = 0; i < 5000; ++i) many += J(1980, 3, 1, "0", "女", "0", "0") + "\n";
  const std::vector<std::string> chart = {"--date=1980-03-01", "--time=1:00", Now};
  struct Row { std::vector<std::string> args; const char *in, *out, *part; } const rows[] = {
      {{"--batch", "--jobs=1", Now}, nullptr, "/dev/full", "(cannot write output): "},
      {{"--batch", "--jobs=2", Now}, nullptr, "/dev/full", "(cannot write output): "},
      {chart, nullptr, "/dev/full", "出力に書き込めません"},
      {{"--help"}, nullptr, "/dev/full", "出力に書き込めません"},
      {{"--batch", "--jobs=1", Now}, "/", nullptr, "(cannot read input): "},
      {{"--batch", "--jobs=2", Now}, "/", nullptr, "入力を読めません"},
  };
  for (const Row& row : rows) {
    const CliRun r = Cli(row.args, many, row.in, row.out);
    EXPECT_TRUE(r.status == 3 && Has(r.err, row.part)) << row.args[0] << " " << r.status << r.err;
  }
}

TEST(Cli, ByteOrderMarkAndOverLongLines) {
  const std::string good = J(1980, 3, 1, "0", "女", "-18", "30");
  const CliRun ref = Cli({"--batch", Now}, good);
  ASSERT_EQ(ref.status, 0);
  const std::string chart = ref.out.substr(ref.out.find(','));  // after "line"
  // Blanks inside the object pad a line to exactly the limit, and one past.
  std::string longest = good, tooLong = good;
  longest.insert(1, torvela::cli::MaxLineBytes - good.size(), ' ');
  tooLong.insert(1, torvela::cli::MaxLineBytes + 1 - good.size(), ' ');
  const std::string in = "\xEF\xBB\xBF" + good + "\n" + tooLong + "\n" + longest + "\n" +
                         "\xEF\xBB\xBF" + good + "\n" + good;  // no newline at the end
  for (const char* jobs : {"--jobs=1", "--jobs=2"}) {
    const CliRun r = Cli({"--batch", jobs, Now}, in);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "{\"line\":1" + chart +
                         "{\"line\":2,\"error\":\"行が長すぎます (line longer than 1 MiB)\"}\n" +
                         "{\"line\":3" + chart + "{\"line\":4" + chart + "{\"line\":5" + chart);
  }
}

}  // namespace
