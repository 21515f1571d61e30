// Runs the built torvela-cli as a user would: options, JSON, batches, and
// the exit statuses.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "chart/ChartFields.h"
#include "chart/TimeDifference.h"
#include "cli/Batch.h"
#include "cli/ChartIo.h"
#include "tests/cli/CliRun.h"

namespace {

using namespace clitest;

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
  // The same chart as minute 0; only the boundary search looks at the whole hour.
  const CliRun minuteUnknown =
      Cli({"--date=1975-08-20", "--time=14:?", "--json", "--fields=chart", Now});
  EXPECT_EQ(minuteUnknown.status, 0);
  EXPECT_EQ(minuteUnknown.out,
            Cli({"--date=1975-08-20", "--time=14:0", "--json", "--fields=chart", Now}).out);
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

// Without the moment's fields (a tenth of the cost), so that the sanitizer
// build runs it in reasonable time; the moment is fuzzed line by line.
TEST(Cli, ParallelBatchEqualsOneCoreAndNumbersReadBack) {
  const std::string in = MixedLines(20000);
  const CliRun one = Cli({"--batch", "--jobs=1", "--fields=chart,reading", Now}, in);
  ASSERT_EQ(one.status, 1) << one.err;
  const CliRun two = Cli({"--batch", "--jobs=2", "--fields=chart,reading", Now}, in);
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
    const torvela::cli::BatchContext context{tables, now, {}, {}, nullptr};
    std::string error;
    ASSERT_TRUE(torvela::cli::ReadBatchLine(line, context, birth, now, error)) << line;
    const auto r =
        torvela::chart::ComputeBirth(torvela::cli::InputOf(birth), birth.moment, tables, now).chart;
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

const torvela::Tables& CliTables() {
  static const torvela::Tables tables = torvela::LoadTables(
      torvela::DataDirectory(std::filesystem::path(TORVELA_CLI).parent_path()));
  return tables;
}

TEST(Cli, NewOptionsGoodAndBad) {
  const std::vector<std::string> chart = {"--date=1980-03-01", "--time=1:00", Now};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), chart.begin(), chart.end());
    return more;
  };
  struct Row { std::vector<std::string> args; int status; const char* err; } const rows[] = {
      {with({"--dst=off", "--before-1888=solar", "--margin=60"}), 0, ""},
      {with({"--dst=on"}), 2, "--dst"},
      {with({"--before-1888=JST"}), 2, "--before-1888"},
      {with({"--margin=15"}), 2, "--margin"},
      {with({"--json", "--fields=chart,reading"}), 0, ""},
      {with({"--json", "--fields=chart,chart"}), 2, "--fields"},
      {with({"--json", "--fields=moment,bogus"}), 2, "--fields"},
      {with({"--json", "--fields="}), 2, "--fields"},
      {with({"--fields=chart"}), 2, "--fields"},  // text has no fields
      {with({"--place=札幌市中央区"}), 0, ""},
      {with({"--place=府中"}), 2, "東京都府中市"},  // not unique: the candidates
      {with({"--place=府中", "--json"}), 2, "広島県府中市"},
      {with({"--place=どこにもない町"}), 2, "当てはまる場所がありません"},
      {with({"--place=札幌市中央区", "--jisa=19"}), 2, "--place"},
      {with({"--place=札幌市中央区", "--jisa-sec=0"}), 2, "--place"},
      {with({"--place="}), 2, "--place"},
      {with({"--skip-bad"}), 2, "--skip-bad"},
      {with({"--db=/tmp/x.sqlite"}), 2, "--db"},
      {with({"--save="}), 2, "--save"},
      {with({"--save=A", "--json"}), 2, "--save"},
      {{"--list", "--save=A"}, 2, "一度に一つ"},
      {{"--person=A", "--date=1980-03-01"}, 2, "命式の指定"},
      {{"--list", "--json"}, 2, "--json"},
      {{"--batch", "--pdf=/tmp/x.pdf"}, 2, "--batch"},
      {{"--batch", "--place=札幌市"}, 2, "--batch"},
      {{"--batch", "--fields=reading,place", "--dst=off", Now}, 0, ""},
  };
  for (const Row& row : rows) {
    const CliRun r = Cli(row.args);
    EXPECT_EQ(r.status, row.status) << row.args.back() << "\n" << r.err;
    EXPECT_TRUE(Has(r.err, row.err)) << row.args.back() << "\n" << r.err;
    if (row.status == 2) {
      EXPECT_TRUE(r.out.empty()) << r.out;
    }
  }
  // The gazetteer missing or damaged: its own message, status 1.
  const auto dir = std::filesystem::temp_directory_path() / ("tvplaces-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto data = std::filesystem::path(TORVELA_CLI).parent_path();
  for (const char* file : {"planet.txt", "latitude.txt"})
    std::filesystem::copy_file(data / file, dir / file);
  const CliRun missing = Cli(with({"--place=札幌市", "--data=" + dir.string()}));
  EXPECT_TRUE(missing.status == 1 && Has(missing.err, "places.txt") && missing.out.empty())
      << missing.err;
  std::ofstream(dir / "places.txt") << "011002\t北海道\t札幌市\tさっぽろし\tsapporoshi\tx\t43\n";
  const CliRun bad = Cli(with({"--place=札幌市", "--data=" + dir.string()}));
  EXPECT_TRUE(bad.status == 1 && Has(bad.err, "places.txt") && bad.out.empty()) << bad.err;
  // Without a place the gazetteer is never read.
  EXPECT_EQ(Cli(with({"--data=" + dir.string()})).status, 0);
  std::filesystem::remove_all(dir);
}

// --fields chart is the chart object the command line wrote before the
// moment, the reading and the place; the full object is that object with
// the new fields after it.
TEST(Cli, JsonFieldsChartIsTodaysObjectAndTheRestFollow) {
  const struct { std::vector<std::string> args; int y, m, d; const char *h, *mi, *hun, *byo; bool male; } births[] = {
      {{"--date=1980-03-01", "--time=0:10", "--jisa=-18", "--jisa-sec=30"}, 1980, 3, 1, "0", "10", "-18", "30", false},
      {{"--date=1975-08-20", "--time=?:?", "--sex=男"}, 1975, 8, 20, "?", "?", "0", "0", true},
      {{"--date=2024-02-04", "--time=17:05", "--jisa=-0", "--jisa-sec=28"}, 2024, 2, 4, "17", "5", "-0", "28", false},
      {{"--date=1880-06-10", "--time=10:?", "--jisa=3"}, 1880, 6, 10, "10", "?", "3", "0", false},
  };
  const torvela::chart::LocalTime now{2026, 12, 6, 12, 0};
  for (const auto& b : births) {
    std::vector<std::string> args = b.args;
    args.insert(args.end(), {"--json", Now});
    const CliRun all = Cli(args);
    args.push_back("--fields=chart");
    const CliRun chart = Cli(args);
    ASSERT_TRUE(all.status == 0 && chart.status == 0) << all.err << chart.err;
    // Today's writer on today's computation.
    const auto r = torvela::chart::ComputeChart(
        torvela::chart::InputFromTexts(b.y, b.m, b.d, b.h, b.mi, b.male, b.hun, b.byo),
        CliTables(), now);
    std::string old;
    torvela::cli::AppendChartJson(old, 0, torvela::chart::MakeChartTexts(r, CliTables()), r);
    EXPECT_EQ(chart.out, old + "\n") << b.args[0];
    EXPECT_EQ(all.out.rfind(old.substr(0, old.size() - 1) + ",\"clockShiftMinutes\":", 0), 0u);
    const auto j = nlohmann::ordered_json::parse(all.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"texts", "bold", "result", "clockShiftMinutes",
                                              "notices", "prevTerm", "nextTerm", "boundaries",
                                              "reading"}));
    EXPECT_TRUE(j["reading"]["yearlyLuck"]["years"].is_array() && j["reading"]["dayMaster"].is_string());
  }
}

TEST(Cli, MomentFieldsInJson) {
  // Summer time in Tokyo: an hour earlier, and a notice.
  const auto summer = nlohmann::json::parse(
      Cli({"--date=1949-07-01", "--time=10:00", "--jisa=19", "--json", Now}).out);
  EXPECT_EQ(summer["clockShiftMinutes"], -60);
  EXPECT_TRUE(Has(summer["notices"][0].get<std::string>(), "夏時刻"));
  EXPECT_EQ(summer["prevTerm"]["name"], "芒種");
  EXPECT_EQ(summer["nextTerm"]["name"], "小暑");
  const auto off = nlohmann::json::parse(
      Cli({"--date=1949-07-01", "--time=10:00", "--jisa=19", "--json", "--dst=off", Now}).out);
  EXPECT_EQ(off["clockShiftMinutes"], 0);
  EXPECT_NE(summer["texts"]["txtShin"], off["texts"]["txtShin"]);
  // Minutes before 立春 2024 (04 Feb 17:27 JST, true solar about 17:09 in
  // Tokyo): the year and the month change within the margin.
  const auto spring = nlohmann::json::parse(
      Cli({"--date=2024-02-04", "--time=17:20", "--jisa=19", "--json", "--fields=moment", Now}).out);
  std::set<std::string> pillars;
  for (const auto& b : spring["boundaries"]) {
    pillars.insert(b["pillar"].get<std::string>());
    EXPECT_EQ(b["clock"].get<std::string>().size(), 16u);
    EXPECT_EQ(b["to"].get<std::string>().size(), 6u);  // two characters
  }
  EXPECT_TRUE(pillars.count("year") && pillars.count("month")) << spring["boundaries"];
  EXPECT_FALSE(spring.contains("reading"));
  const auto narrow = nlohmann::json::parse(Cli({"--date=2024-02-04", "--time=17:20", "--jisa=19",
                                                 "--json", "--fields=moment", "--margin=10", Now})
                                                .out);
  EXPECT_LT(narrow["boundaries"].size(), spring["boundaries"].size());
  // Before 1888: the reading taken as local mean time moves the chart.
  const auto jst = nlohmann::json::parse(
      Cli({"--date=1880-06-10", "--time=10:00", "--jisa=3", "--json", Now}).out);
  const auto lmt = nlohmann::json::parse(Cli({"--date=1880-06-10", "--time=10:00", "--jisa=3",
                                              "--json", "--before-1888=lmt", Now})
                                             .out);
  EXPECT_NE(jst["result"]["localBirthJD"], lmt["result"]["localBirthJD"]);
  EXPECT_TRUE(Has(lmt["notices"][0].get<std::string>(), "地方平均時"));
}

TEST(Cli, PlaceSetsTheTimeDifference) {
  const CliRun r = Cli({"--date=1980-03-01", "--time=0:10", "--place=さっぽろし ちゅうおうく",
                        "--json", Now});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["place"]["code"], "011011");
  EXPECT_EQ(j["place"]["prefecture"], "北海道");
  EXPECT_EQ(j["place"]["name"], "札幌市中央区");
  // The chart is the one the map's time difference gives.
  const auto diff = torvela::chart::TimeDifferenceAt(j["place"]["longitude"].get<double>());
  const CliRun typed = Cli({"--date=1980-03-01", "--time=0:10", "--jisa=" + diff.minutes,
                            "--jisa-sec=" + diff.seconds, "--json", Now});
  const auto t = nlohmann::json::parse(typed.out);
  EXPECT_EQ(j["result"], t["result"]);
  EXPECT_FALSE(t.contains("place"));
  EXPECT_FALSE(nlohmann::json::parse(Cli({"--date=1980-03-01", "--time=0:10",
                                          "--place=札幌市中央区", "--json",
                                          "--fields=chart,moment", Now})
                                         .out)
                   .contains("place"));
  const CliRun text = Cli({"--date=1980-03-01", "--time=0:10", "--place=札幌市中央区", Now});
  EXPECT_TRUE(Has(text.out, "出生地：北海道札幌市中央区") &&
              Has(text.out, "時差：" + diff.minutes + "分" + diff.seconds + "秒"))
      << text.out;
}

TEST(Cli, BatchMomentAndPlaceFields) {
  const std::string base = "{\"year\":1949,\"month\":7,\"day\":1,\"hour\":\"10\",\"minute\":\"0\",\"sex\":\"男\"";
  const std::string jisa = ",\"jisahun\":\"19\",\"jisabyo\":\"0\"";
  // part: of the output line; error: whether it is an error line.
  struct Row { std::string extra; bool error; const char* part; } const rows[] = {
      {jisa, false, "\"clockShiftMinutes\":-60"},
      {jisa + ",\"dst\":\"off\"", false, "\"clockShiftMinutes\":0"},
      {jisa + ",\"dst\":\"on\"", true, "dst: "},
      {jisa + ",\"dst\":1", true, "dst: "},
      {jisa + ",\"before1888\":\"lmt\",\"margin\":10", false, "\"boundaries\":"},
      {jisa + ",\"before1888\":\"LMT\"", true, "before1888: "},
      {jisa + ",\"margin\":\"60\"", false, "\"notices\":"},
      {jisa + ",\"margin\":45", true, "margin: "},
      {jisa + ",\"margin\":10.5", true, "margin: "},
      {",\"place\":\"千代田区\"", false, "\"place\":{\"code\":\"131016\""},
      {",\"place\":\"府中\"", true, "東京都府中市"},
      {",\"place\":\"どこにもない町\"", true, "place: "},
      {",\"place\":\"千代田区\",\"jisahun\":\"19\"", true, "place: "},
      {",\"place\":\"千代田区\",\"jisabyo\":\"0\"", true, "place: "},
      {",\"place\":3", true, "place: "},
      {"", true, "jisahun: ありません"},
  };
  std::string in;
  for (const Row& row : rows) in += base + row.extra + "}\n";
  const CliRun r = Cli({"--batch", Now}, in);
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), std::size(rows));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(Has(lines[i], "\"error\":"), rows[i].error) << lines[i];
    EXPECT_TRUE(Has(lines[i], rows[i].part)) << rows[i].part << "\n" << lines[i];
  }
  // --dst off sets the default; a line's own "dst" still wins.
  const CliRun off = Cli({"--batch", "--dst=off", "--fields=moment", Now},
                         base + jisa + "}\n" + base + jisa + ",\"dst\":\"auto\"}\n");
  const auto offLines = Lines(off.out);
  ASSERT_EQ(offLines.size(), 2u);
  EXPECT_TRUE(Has(offLines[0], "\"clockShiftMinutes\":0"));
  EXPECT_TRUE(Has(offLines[1], "\"clockShiftMinutes\":-60"));
  // --fields chart: exactly the chart, also for a line with a place.
  const CliRun chart = Cli({"--batch", "--fields=chart", Now}, base + ",\"place\":\"千代田区\"}\n");
  EXPECT_TRUE(Has(chart.out, "\"currentColumn\":") && chart.out.ends_with("}}\n")) << chart.out;
}

TEST(Cli, TextHasTermsNoticesAndTheReadingTable) {
  const CliRun r = Cli({"--date=2024-02-04", "--time=17:20", "--jisa=19", "--sex=男", Now});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* part : {"誕生日：2024年2月4日17時20分　男　時差：19分0秒", "節入り：", "次の節：",
                           "境界注意：", "命式詳細", "通変星", "蔵干通変星", "十二運", "納音",
                           "空亡", "五行", "陰陽", "年運", "日主"})
    EXPECT_TRUE(Has(r.out, part)) << part << "\n" << r.out;
  const auto lines = Lines(r.out);
  // The table's columns stand under their headings, 時柱 first.
  const auto heading = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& l) { return l.rfind("    ", 0) == 0 && Has(l, "時柱"); });
  ASSERT_NE(heading, lines.end());
  EXPECT_LT(heading->find("時柱"), heading->find("日柱"));
  EXPECT_LT(heading->find("月柱"), heading->find("年柱"));
  const auto dayMaster = std::find_if(lines.begin(), lines.end(),
                                      [](const std::string& l) { return l.rfind("通変星", 0) == 0; });
  ASSERT_NE(dayMaster, lines.end());
  // Terminal columns: two for a Japanese character.
  const auto column = [](const std::string& line, const char* part) {
    std::size_t n = 0;
    for (const char c : line.substr(0, line.find(part)))
      n += static_cast<unsigned char>(c) < 0x80 ? 1 : (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 2 : 0;
    return n;
  };
  EXPECT_EQ(column(*dayMaster, "日主"), column(*heading, "日柱")) << *dayMaster;
  // The current year is marked, once.
  int current = 0;
  for (const auto& l : lines) current += l.rfind("  2026年", 0) == 0 && Has(l, "現在");
  EXPECT_EQ(current, 1) << r.out;
  for (const auto& l : lines) EXPECT_TRUE(l.empty() || l.back() != ' ') << l;
  // An unknown hour: the birthday says so and the hour column is □.
  const CliRun unknown = Cli({"--date=1975-08-20", "--time=?:?", Now});
  EXPECT_TRUE(Has(unknown.out, "誕生日：1975年8月20日出生時間不明") &&
              Has(unknown.out, "天干        □")) << unknown.out;
  EXPECT_TRUE(Has(Cli({"--date=1975-08-20", "--time=14:?", Now}).out, "1975年8月20日14時頃"));
}

// Issue-12 behaviours of the command line: full-width digits and minus in
// the time-difference texts, and "now" by Japan's clock.
TEST(Cli, FullWidthTimeDifferenceAndJapanNow) {
  const struct { const char *hun, *byo, *halfHun, *halfByo; } rows[] = {
      {"－１３", "１４", "-13", "14"}, {"−１３", "14", "-13", "14"},
      {"１９", "３０", "19", "30"}, {"－０", "２８", "-0", "28"}};
  for (const auto& row : rows) {
    const auto wide = nlohmann::json::parse(Cli({"--date=1975-03-05", "--time=14:30",
                                                 std::string("--jisa=") + row.hun,
                                                 std::string("--jisa-sec=") + row.byo, "--json",
                                                 "--fields=chart", Now})
                                                .out);
    const auto half = nlohmann::json::parse(Cli({"--date=1975-03-05", "--time=14:30",
                                                 std::string("--jisa=") + row.halfHun,
                                                 std::string("--jisa-sec=") + row.halfByo,
                                                 "--json", "--fields=chart", Now})
                                                .out);
    EXPECT_EQ(wide, half) << row.hun;
  }
  // In a batch line too.
  const CliRun batch = Cli({"--batch", "--fields=chart", Now},
                           J(1975, 3, 5, "14", "女", "－１３", "１４") + "\n" +
                               J(1975, 3, 5, "14", "女", "-13", "14") + "\n");
  const auto lines = Lines(batch.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(lines[0].find(',')), lines[1].substr(lines[1].find(',')));
  // Without --now the present is Japan's, whatever the machine's zone: the
  // two runs agree to the minute they ran in, not 17 hours apart.
  const auto nowIn = [](const char* zone) {
    const CliRun r = Cli({"--date=1975-03-05", "--time=14:30", "--json", "--fields=chart"}, "",
                         nullptr, nullptr, std::string("TZ=") + zone);
    return nlohmann::json::parse(r.out)["result"]["nowJD"].get<double>();
  };
  EXPECT_LT(std::fabs(nowIn("America/Los_Angeles") - nowIn("Asia/Tokyo")), 2.0 / 1440);
}

}  // namespace
