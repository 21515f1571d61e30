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

struct CliRun {
  int status = -1;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args, const std::string& input = "") {
  const auto dir = std::filesystem::temp_directory_path() / ("torvela-cli-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in") << input;
  std::string cmd = "'" TORVELA_CLI "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  cmd += " < '" + (dir / "in").string() + "' > '" + (dir / "out").string() + "' 2> '" + (dir / "err").string() + "'";
  const int raw = std::system(cmd.c_str());
  const auto slurp = [&](const char* name) {
    std::ostringstream s;
    s << std::ifstream(dir / name, std::ios::binary).rdbuf();
    return s.str();
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

const std::string Now = "--now=2026-12-06T12:00";

TEST(Cli, PlainChartReadsLikeTheWindow) {
  const CliRun r = Cli({"--date", "1980-03-01", "--time", "00:10", "--sex", "女", "--jisa", "-18",
                     "--jisa-sec", "30", Now});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("真太陽時：1980年2月29日23時"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("土曜日"), std::string::npos);
  EXPECT_NE(r.out.find("旺"), std::string::npos);
  EXPECT_NE(r.out.find("現在"), std::string::npos);
  // Year, month, day, hour pillars from right to left on one row.
  EXPECT_NE(r.out.find("時    日    月    年"), std::string::npos) << r.out;
}

TEST(Cli, UnknownTimeSpellings) {
  for (const char* time : {"--time=?:?", "--hour=?", "--time=?:30"}) {
    const CliRun r = Cli({"--date", "1975-08-20", time, "--json", Now});
    ASSERT_EQ(r.status, 0) << time << r.err;
    EXPECT_NE(r.out.find("\"txtShin\":\"1975年8月20日確定不能\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"hKan\":\"□\""), std::string::npos);
  }
  const CliRun minuteUnknown = Cli({"--date", "1975-08-20", "--time", "14:?", "--json", Now});
  EXPECT_EQ(minuteUnknown.status, 0);
  EXPECT_EQ(minuteUnknown.out, Cli({"--date", "1975-08-20", "--time", "14:0", "--json", Now}).out);
}

TEST(Cli, BadOptionsExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {"--date=1980-02-30", "--time=1:00"},  // not in the calendar
      {"--date=1799-12-31", "--time=1:00"},  // before the year list
      {"--date=1980-03-01"}, {"--date=1980-03-01", "--hour=5"}, {"--date=1980-03-01", "--time=24:00"},
      {"--date=1980-03-01", "--time=1:60"}, {"--date=1980-03-01", "--time=1:00", "--sex=x"},
      {"--date=1980-03-01", "--time=1:00", "--now=2026-13-01T00:00"}, {"--bogus"}, {"--date"},
      {"--batch", "--date=1980-03-01"},
  };
  for (const auto& args : cases) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << args[0] << " " << args.back();
    EXPECT_NE(r.err.find("torvela-cli:"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(Cli, MissingDataDirectoryExitsOneWithTheLoadersMessage) {
  const CliRun r = Cli({"--date", "1980-03-01", "--time", "1:00", "--data", "/nonexistent-torvela"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("planet.txt"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}

TEST(Cli, BatchGoodBadAndMixedLines) {
  const std::string good =
      R"({"year":1980,"month":3,"day":1,"hour":"0","minute":"10","sex":"女","jisahun":"-18","jisabyo":"30"})";
  struct Row {
    std::string in;
    bool ok;
    const char* part;  // of its output line; nullptr: no output
  } const rows[] = {
      {good, true, "\"line\":1,"},
      {"not json", false, "\"line\":2,"},
      {"", false, nullptr},
      {R"({"year":1980,"month":2,"day":30,"hour":"0","minute":"10","sex":"女","jisahun":"0","jisabyo":"0"})", false, "day"},
      {R"({"year":2081,"month":1,"day":1,"hour":"0","minute":"10","sex":"男","jisahun":"0","jisabyo":"0"})", false, "year"},
      // Its own "now" and "-0" minutes (28 s west) reach the chart.
      {R"({"year":1980,"month":3,"day":1,"hour":"?","minute":"?","sex":"男","jisahun":"-0","jisabyo":"28","now":"1990-01-01T00:00"})",
       true, "\"txtAge\":\"9\""},
      {R"({"year":1980,"month":3,"day":1,"minute":"1","sex":"男","jisahun":"0","jisabyo":"0"})", false, "hour: ありません"},
      {R"({"year":1980,"month":3,"day":1,"hour":"7","minute":"1","sex":"X","jisahun":"0","jisabyo":"0"})", false, "sex"},
      {"[1,2]", false, "\"line\":9,"},
      {good, true, "\"line\":10,"},
  };
  std::string input;
  for (const Row& row : rows) input += row.in + "\n";
  const CliRun r = Cli({"--batch", Now}, input);
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 9u) << r.out;
  for (std::size_t i = 0, out = 0; i < std::size(rows); ++i) {
    if (!rows[i].part) continue;
    EXPECT_EQ(lines[out].rfind("{\"line\":" + std::to_string(i + 1) + ",", 0), 0u) << lines[out];
    EXPECT_EQ(lines[out].find("\"error\":") == std::string::npos, rows[i].ok) << lines[out];
    EXPECT_NE(lines[out++].find(rows[i].part), std::string::npos) << rows[i].part;
  }
  // The same chart as the single-chart JSON, with its line number in front.
  const CliRun single = Cli({"--date=1980-03-01", "--time=0:10", "--jisa=-18", "--jisa-sec=30", "--json", Now});
  ASSERT_EQ(single.status, 0);
  EXPECT_EQ(lines[0], "{\"line\":1," + single.out.substr(1, single.out.size() - 2));
  EXPECT_NE(lines[4].find("\"timeDiffDays\":-0.000324074"), std::string::npos) << lines[4];
  // Only good lines: exit status 0.
  const CliRun allGood = Cli({"--batch", Now}, good + "\n" + good + "\n");
  EXPECT_EQ(allGood.status, 0) << allGood.err;
  EXPECT_EQ(Lines(allGood.out).size(), 2u);
}

}  // namespace
