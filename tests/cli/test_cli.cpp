// Runs the built torvela-cli as a user would: options, JSON, batches, and
// the exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CliRun { int status = -1; std::string out, err; };

CliRun Cli(const std::vector<std::string>& args, const std::string& input = "") {
  const auto dir = std::filesystem::temp_directory_path() / ("tvcli-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in") << input;
  std::string cmd = "'" TORVELA_CLI "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  const auto at = [&](const char* name) {
    // Appended piece by piece: "'" + s + "'" trips GCC 12's -Wrestrict at -O3.
    std::string quoted = "'";
    quoted += (dir / name).string();
    quoted += '\'';
    return quoted;
  };
  cmd += " < " + at("in") + " > " + at("out") + " 2> " + at("err");
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
      {"--batch", "--date=1980-03-01"},
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
  };
  std::string input;
  for (const Row& row : rows) input += row.in + "\n";
  const CliRun r = Cli({"--batch", Now}, input);
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 9u) << r.out;
  for (std::size_t i = 0, out = 0; i < std::size(rows); ++i) {
    if (!rows[i].part) continue;
    const std::string& l = lines[out++];
    EXPECT_EQ(l.rfind("{\"line\":" + std::to_string(i + 1) + ",", 0), 0u) << l;
    EXPECT_TRUE(Has(l, "\"error\":") != rows[i].ok && Has(l, rows[i].part)) << l;
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

}  // namespace
