// Runs the built torvela-cli as a user would: options and exit statuses,
// text and JSON, batches, the 名簿, CSV and the PDF.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "chart/ChartFields.h"
#include "chart/TimeDifference.h"
#include "cli/Batch.h"
#include "cli/ChartIo.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using nlohmann::json;

const std::string Now = "--now=2026-12-06T12:00";

Args operator+(Args a, const Args& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A folder of this process's own, removed when it ends.
std::string Tmp(const std::string& name) {
  static const struct Dir {
    fs::path path = fs::temp_directory_path() / ("tvcli-" + std::to_string(getpid()));
    Dir() { fs::remove_all(path), fs::create_directories(path); }
    ~Dir() { fs::remove_all(path); }
  } dir;
  return (dir.path / name).string();
}
std::string Slurp(const std::string& path) {
  return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}
void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
bool Has(const std::string& s, const std::string& part) { return s.find(part) != s.npos; }
std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> lines;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}
std::string Replaced(std::string s, const std::string& from, const std::string& to) {
  return s.replace(s.find(from), from.size(), to);
}

struct Result { int status = -1; std::string out, err; };

// inPath and outPath replace the input and the captured output; env is put
// before the command ("TORVELA_DB=/tmp/x").
Result Cli(const Args& args, const std::string& input = "", const std::string& inPath = "",
        const std::string& outPath = "", const std::string& env = "") {
  Write(Tmp("in"), input), Write(Tmp("out"), "");
  const auto q = [](const std::string& s) {
    std::string quoted = "'";  // appended piece by piece: "'" + s + "'" trips GCC 12's -Wrestrict
    quoted += s;
    quoted += '\'';
    return quoted;
  };
  std::string cmd = env + " " + q(TORVELA_CLI);
  for (const auto& a : args) (cmd += ' ') += q(a);
  cmd += " < " + q(inPath.empty() ? Tmp("in") : inPath) + " > " + q(outPath.empty() ? Tmp("out") : outPath) +
         " 2> " + q(Tmp("err"));
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(Tmp("out")), Slurp(Tmp("err"))};
}
json Json(const Args& args) { return json::parse(Cli(args + Args{"--json", Now}).out); }

// One batch line; an empty hour leaves its key out.
std::string J(int y, int m, int d, const std::string& h, const std::string& sex, const std::string& hun,
              const std::string& byo, const std::string& extra = "") {
  const auto n = [](int v) { return std::to_string(v); };
  return "{\"year\":" + n(y) + ",\"month\":" + n(m) + ",\"day\":" + n(d) +
         (h.empty() ? "" : ",\"hour\":\"" + h + "\"") + ",\"minute\":\"10\",\"sex\":\"" + sex +
         "\",\"jisahun\":\"" + hun + "\",\"jisabyo\":\"" + byo + "\"" + extra + "}";
}

const torvela::Tables& CliTables() {
  static const torvela::Tables tables =
      torvela::LoadTables(torvela::DataDirectory(fs::path(TORVELA_CLI).parent_path()));
  return tables;
}

// Status 0 writes every part to standard output; any other status writes
// nothing there and every part to standard error.
TEST(Cli, StatusesAndWhatIsWritten) {
  const Args c = {"--date=1980-03-01", "--time=1:00", Now};
  const std::string db = "--db=" + Tmp("statuses.sqlite");
  const Args unknown = {"--date=1975-08-20", "--json", Now};
  struct Row { Args args; int status; std::vector<std::string> parts; } const rows[] = {
      // Pillars run hour, day, month, year from left to right.
      {{"--date=1980-03-01", "--time=00:10", "--sex=女", "--jisa=-18", "--jisa-sec=30", Now}, 0,
       {"真太陽時：1980年2月29日23時", "土曜日", "旺", "現在", "時    日    月    年"}},
      {{"--date=2024-02-04", "--time=17:20", "--jisa=19", "--sex=男", Now}, 0,
       {"誕生日：2024年2月4日17時20分　男　時差：19分0秒", "節入り：", "次の節：", "境界注意：", "命式詳細",
        "通変星", "蔵干通変星", "十二運", "納音", "空亡", "五行", "陰陽", "年運", "日主"}},
      {{"--date=1975-08-20", "--time=?:?", Now}, 0, {"誕生日：1975年8月20日出生時間不明", "天干        □"}},
      {{"--date=1975-08-20", "--time=14:?", Now}, 0, {"1975年8月20日14時頃"}},
      {unknown + Args{"--time=?:?"}, 0, {"\"txtShin\":\"1975年8月20日確定不能\"", "\"hKan\":\"□\""}},
      {unknown + Args{"--hour=?"}, 0, {"\"txtShin\":\"1975年8月20日確定不能\"", "\"hKan\":\"□\""}},
      {unknown + Args{"--time=?:30"}, 0, {"\"txtShin\":\"1975年8月20日確定不能\"", "\"hKan\":\"□\""}},
      {c + Args{"--dst=off", "--before-1888=solar", "--margin=60"}, 0, {}},
      {c + Args{"--json", "--fields=chart,reading"}, 0, {"\"reading\":"}},
      {c + Args{"--place=札幌市中央区"}, 0, {"出生地：北海道札幌市中央区"}},
      {{"--batch", "--fields=reading,place", "--dst=off", Now}, 0, {}},
      // Bad options: status 2.
      {{"--date=1980-02-30", "--time=1:00"}, 2, {"--date"}},
      {{"--date=1799-12-31", "--time=1:00"}, 2, {"--date"}},
      {{"--date=1980-03-01"}, 2, {}}, {{"--date=1980-03-01", "--hour=5"}, 2, {}},
      {{"--date=1980-03-01", "--time=24:00"}, 2, {"0〜23"}}, {{"--date=1980-03-01", "--time=1:60"}, 2, {"0〜59"}},
      {c + Args{"--sex=x"}, 2, {"--sex"}}, {{"--date=1980-03-01", "--time=1:00", "--now=2026-13-01T00:00"}, 2, {"--now"}},
      {{"--bogus"}, 2, {}}, {{"--date"}, 2, {}}, {{"--batch", "--date=1980-03-01"}, 2, {}},
      {{"--batch", "--jobs=0"}, 2, {"--jobs"}}, {{"--batch", "--jobs=x"}, 2, {"--jobs"}},
      {{"--batch", "--jobs=-2"}, 2, {"--jobs"}}, {{"--batch", "--jobs"}, 2, {}}, {c + Args{"--jobs=2"}, 2, {"--jobs"}},
      {c + Args{"--dst=on"}, 2, {"--dst"}}, {c + Args{"--before-1888=JST"}, 2, {"--before-1888"}},
      {c + Args{"--margin=15"}, 2, {"--margin"}},
      {c + Args{"--json", "--fields=chart,chart"}, 2, {"--fields"}},
      {c + Args{"--json", "--fields=moment,bogus"}, 2, {"--fields"}},
      {c + Args{"--json", "--fields="}, 2, {"--fields"}}, {c + Args{"--fields=chart"}, 2, {"--fields"}},
      {c + Args{"--place=府中"}, 2, {"東京都府中市", "広島県府中市"}},  // not unique: the candidates
      {c + Args{"--place=府中", "--json"}, 2, {"広島県府中市"}},
      {c + Args{"--place=どこにもない町"}, 2, {"当てはまる場所がありません"}},
      {c + Args{"--place=札幌市中央区", "--jisa=19"}, 2, {"--place"}},
      {c + Args{"--place=札幌市中央区", "--jisa-sec=0"}, 2, {"--place"}}, {c + Args{"--place="}, 2, {"--place"}},
      {c + Args{"--skip-bad"}, 2, {"--skip-bad"}}, {c + Args{"--db=/tmp/x.sqlite"}, 2, {"--db"}},
      {c + Args{"--save="}, 2, {"--save"}}, {c + Args{"--save=A", "--json"}, 2, {"--save"}},
      {{"--list", "--save=A"}, 2, {"一度に一つ"}}, {{"--person=A", "--date=1980-03-01"}, 2, {"命式の指定"}},
      {{"--list", "--json"}, 2, {"--json"}}, {{"--batch", "--pdf=/tmp/x.pdf"}, 2, {"--batch"}},
      {{"--batch", "--place=札幌市"}, 2, {"--batch"}},
      {{db, "--person=だれでもない"}, 2, {"いません"}},
      {{db, "--save=\u3000 ", "--date=1975-03-05", "--time=1:00"}, 2, {"--save"}},
      {{db, "--person=山田太郎", "--date=1975-03-05"}, 2, {"命式"}},
      {{db, "--save=X", "--time=1:00"}, 2, {"--date"}},
      // What the program needs is missing or cannot be written: status 1.
      {c + Args{"--data=/nonexistent-torvela"}, 1, {"planet.txt"}},
      {c + Args{"--pdf=" + Tmp("no/such/dir/c.pdf")}, 1, {"PDFファイルを書き込めません"}},
      {{db, "--import=" + Tmp("missing.csv")}, 1, {"missing.csv"}},
      {{db, "--export=" + Tmp("no/dir/out.csv")}, 1, {}},
      {{"--db=" + Tmp(""), "--list"}, 1, {"開けません"}},  // a folder
  };
  for (const Row& row : rows) {
    const Result r = Cli(row.args);
    const std::string& where = row.status == 0 ? r.out : r.err;
    EXPECT_EQ(r.status, row.status) << row.args.back() << "\n" << r.err;
    EXPECT_TRUE(row.status == 0 || (r.out.empty() && !r.err.empty())) << row.args.back() << r.out;
    EXPECT_TRUE(row.status != 2 || Has(r.err, "torvela-cli:")) << r.err;
    for (const std::string& part : row.parts) EXPECT_TRUE(Has(where, part)) << part << "\n" << where;
  }
}

TEST(Cli, TextTableStandsInColumns) {
  const auto lines = Lines(Cli({"--date=2024-02-04", "--time=17:20", "--jisa=19", "--sex=男", Now}).out);
  const auto starting = [&](const std::string& start, const char* part) {
    return *std::find_if(lines.begin(), lines.end(),
                         [&](const std::string& l) { return l.rfind(start, 0) == 0 && Has(l, part); });
  };
  ASSERT_TRUE(std::any_of(lines.begin(), lines.end(), [](auto& l) { return l.rfind("通変星", 0) == 0; }));
  const std::string heading = starting("    ", "時柱"), tenGods = starting("通変星", "日主");
  EXPECT_LT(heading.find("時柱"), heading.find("日柱"));
  EXPECT_LT(heading.find("月柱"), heading.find("年柱"));
  // Terminal columns: two for a Japanese character.
  const auto column = [](const std::string& line, const char* part) {
    std::size_t n = 0;
    for (const char ch : line.substr(0, line.find(part))) {
      const auto u = static_cast<unsigned char>(ch);
      n += u < 0x80 ? 1 : (u & 0xC0) != 0x80 ? 2 : 0;
    }
    return n;
  };
  EXPECT_EQ(column(tenGods, "日主"), column(heading, "日柱")) << tenGods;
  // The current year is marked, once; no line ends in a blank.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](auto& l) { return l.rfind("  2026年", 0) == 0 && Has(l, "現在"); }), 1);
  for (const auto& l : lines) EXPECT_TRUE(l.empty() || l.back() != ' ') << l;
}

// --fields chart is the chart object written before the moment, the reading
// and the place (today's writer on today's computation); the full object is
// that object with the new fields after it.
TEST(Cli, JsonFieldsChartIsTheOldObjectAndTheRestFollow) {
  const struct { int y, m, d; const char *h, *mi, *hun, *byo; bool male; } births[] = {
      {1980, 3, 1, "0", "10", "-18", "30", false}, {1975, 8, 20, "?", "?", "0", "0", true},
      {2024, 2, 4, "17", "5", "-0", "28", false}, {1880, 6, 10, "10", "?", "3", "0", false}};
  for (const auto& b : births) {
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", b.y, b.m, b.d);
    const Args args = {std::string("--date=") + date, std::string("--time=") + b.h + ":" + b.mi,
                       std::string("--jisa=") + b.hun, std::string("--jisa-sec=") + b.byo,
                       b.male ? "--sex=男" : "--sex=女", "--json", Now};
    const Result all = Cli(args), chart = Cli(args + Args{"--fields=chart"});
    ASSERT_TRUE(all.status == 0 && chart.status == 0) << all.err << chart.err;
    const auto r = torvela::chart::ComputeChart(
        torvela::chart::InputFromTexts(b.y, b.m, b.d, b.h, b.mi, b.male, b.hun, b.byo), CliTables(),
        torvela::chart::LocalTime{2026, 12, 6, 12, 0});
    std::string old;
    torvela::cli::AppendChartJson(old, 0, torvela::chart::MakeChartTexts(r, CliTables()), r);
    EXPECT_EQ(chart.out, old + "\n") << date;
    EXPECT_EQ(all.out.rfind(old.substr(0, old.size() - 1) + ",\"clockShiftMinutes\":", 0), 0u);
    std::vector<std::string> keys;
    const auto ordered = nlohmann::ordered_json::parse(all.out);
    for (const auto& [key, value] : ordered.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"texts", "bold", "result", "clockShiftMinutes", "notices",
                                              "prevTerm", "nextTerm", "boundaries", "reading"}));
  }
  // An unknown minute gives the chart of minute 0; only the boundary search looks at the hour.
  EXPECT_EQ(Cli({"--date=1975-08-20", "--time=14:?", "--json", "--fields=chart", Now}).out,
            Cli({"--date=1975-08-20", "--time=14:0", "--json", "--fields=chart", Now}).out);
}

TEST(Cli, MomentOptionsInJson) {
  const Args summer = {"--date=1949-07-01", "--time=10:00", "--jisa=19"};
  const json on = Json(summer), off = Json(summer + Args{"--dst=off"});
  // Summer time in Tokyo: an hour earlier, and a notice.
  EXPECT_EQ(on["clockShiftMinutes"], -60);
  EXPECT_TRUE(Has(on["notices"][0].get<std::string>(), "夏時刻"));
  EXPECT_EQ(on["prevTerm"]["name"], "芒種");
  EXPECT_EQ(on["nextTerm"]["name"], "小暑");
  EXPECT_EQ(off["clockShiftMinutes"], 0);
  EXPECT_NE(on["texts"]["txtShin"], off["texts"]["txtShin"]);
  // Minutes before 立春 2024 (17:27 JST, true solar about 17:09 in Tokyo):
  // the year and the month change within the margin.
  const Args spring = {"--date=2024-02-04", "--time=17:20", "--jisa=19", "--fields=moment"};
  const json wide = Json(spring), narrow = Json(spring + Args{"--margin=10"});
  std::set<std::string> pillars;
  for (const auto& b : wide["boundaries"]) {
    pillars.insert(b["pillar"].get<std::string>());
    EXPECT_EQ(b["clock"].get<std::string>().size(), 16u);
    EXPECT_EQ(b["to"].get<std::string>().size(), 6u);  // two characters
  }
  EXPECT_TRUE(pillars.count("year") && pillars.count("month")) << wide["boundaries"];
  EXPECT_FALSE(wide.contains("reading"));
  EXPECT_LT(narrow["boundaries"].size(), wide["boundaries"].size());
  // Before 1888: the reading taken as local mean time moves the chart.
  const Args old = {"--date=1880-06-10", "--time=10:00", "--jisa=3"};
  const json jst = Json(old), lmt = Json(old + Args{"--before-1888=lmt"});
  EXPECT_NE(jst["result"]["localBirthJD"], lmt["result"]["localBirthJD"]);
  EXPECT_TRUE(Has(lmt["notices"][0].get<std::string>(), "地方平均時"));
}

TEST(Cli, PlaceSetsTheMapsTimeDifference) {
  const Args birth = {"--date=1980-03-01", "--time=0:10"};
  const json j = Json(birth + Args{"--place=さっぽろし ちゅうおうく"});
  EXPECT_EQ(j["place"]["code"], "011011");
  EXPECT_EQ(j["place"]["prefecture"], "北海道");
  EXPECT_EQ(j["place"]["name"], "札幌市中央区");
  const auto diff = torvela::chart::TimeDifferenceAt(j["place"]["longitude"].get<double>());
  const json typed = Json(birth + Args{"--jisa=" + diff.minutes, "--jisa-sec=" + diff.seconds});
  EXPECT_EQ(j["result"], typed["result"]);
  EXPECT_FALSE(typed.contains("place"));
  EXPECT_FALSE(Json(birth + Args{"--place=札幌市中央区", "--fields=chart,moment"}).contains("place"));
  EXPECT_TRUE(Has(Cli(birth + Args{"--place=札幌市中央区", Now}).out,
                  "時差：" + diff.minutes + "分" + diff.seconds + "秒"));
  // A gazetteer that is missing or damaged: status 1, but only when a place is asked for.
  const std::string data = Tmp("data");
  fs::create_directories(data);
  for (const char* file : {"planet.txt", "latitude.txt"})
    fs::copy_file(fs::path(TORVELA_CLI).parent_path() / file, fs::path(data) / file);
  const Args c = {"--date=1980-03-01", "--time=1:00", Now, "--data=" + data};
  for (const char* places : {"", "011002\t北海道\t札幌市\tさっぽろし\tsapporoshi\tx\t43\n"}) {
    if (*places) Write(data + "/places.txt", places);
    const Result r = Cli(c + Args{"--place=札幌市"});
    EXPECT_TRUE(r.status == 1 && Has(r.err, "places.txt") && r.out.empty()) << r.err;
  }
  EXPECT_EQ(Cli(c).status, 0);
}

// Bad lines among good ones: each answered on its own line, in order.
TEST(Cli, BatchLinesAndTheirFields) {
  const std::string good = J(1980, 3, 1, "0", "女", "-18", "30");
  const std::string b = "{\"year\":1949,\"month\":7,\"day\":1,\"hour\":\"10\",\"minute\":\"0\",\"sex\":\"男\"";
  const std::string s = b + ",\"jisahun\":\"19\",\"jisabyo\":\"0\"";
  // part: of its output line; nullptr: no output line at all.
  struct Row { std::string in; bool ok; const char* part; } const rows[] = {
      {good, 1, "\"line\":1,"}, {"not json", 0, "\"line\":2,"}, {"", 0, nullptr},
      {J(1980, 2, 30, "0", "女", "0", "0"), 0, "day"}, {J(2081, 1, 1, "0", "男", "0", "0"), 0, "year"},
      // Its own "now" and "-0" minutes (28 s west) reach the chart.
      {J(1980, 3, 1, "?", "男", "-0", "28", ",\"now\":\"1990-01-01T00:00\""), 1, "\"txtAge\":\"9"},
      {J(1980, 3, 1, "", "男", "0", "0"), 0, "hour: ありません"}, {J(1980, 3, 1, "7", "X", "0", "0"), 0, "sex"},
      {"[1,2]", 0, "\"line\":9,"},
      {std::string(65, '[') + std::string(65, ']'), 0, "nesting deeper than 64"},
      {std::string(64, '[') + std::string(64, ']'), 0, "not a JSON object"},
      // The last of repeated keys counts; a whole number may have a fraction part.
      {"{\"year\":1700," + good.substr(1), 1, "\"txtAge\""}, {Replaced(good, "1980", "1980.0"), 1, "\"txtAge\""},
      {Replaced(good, "1980", "1980.5"), 0, "year: "},
      // Bytes that are not UTF-8 are refused, and the message quoting them is still UTF-8.
      {Replaced(good, "-18", "\xff\xfe"), 0, "invalid JSON"}, {Replaced(good, "1980", "1e999"), 0, "invalid JSON"},
      {s + "}", 1, "\"clockShiftMinutes\":-60"}, {s + ",\"dst\":\"off\"}", 1, "\"clockShiftMinutes\":0"},
      {s + ",\"dst\":\"on\"}", 0, "dst: "}, {s + ",\"dst\":1}", 0, "dst: "},
      {s + ",\"before1888\":\"lmt\",\"margin\":10}", 1, "\"boundaries\":"},
      {s + ",\"before1888\":\"LMT\"}", 0, "before1888: "}, {s + ",\"margin\":\"60\"}", 1, "\"notices\":"},
      {s + ",\"margin\":45}", 0, "margin: "}, {s + ",\"margin\":10.5}", 0, "margin: "},
      {b + ",\"place\":\"千代田区\"}", 1, "\"place\":{\"code\":\"131016\""},
      {b + ",\"place\":\"府中\"}", 0, "東京都府中市"}, {b + ",\"place\":\"どこにもない町\"}", 0, "place: "},
      {b + ",\"place\":\"千代田区\",\"jisahun\":\"19\"}", 0, "place: "},
      {b + ",\"place\":\"千代田区\",\"jisabyo\":\"0\"}", 0, "place: "}, {b + ",\"place\":3}", 0, "place: "},
      {b + "}", 0, "jisahun: ありません"},
  };
  std::string input;
  for (const Row& row : rows) input += row.in + "\n";
  const Result r = Cli({"--batch", Now}, input);
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), std::size(rows) - 1) << r.out;
  for (std::size_t i = 0, out = 0; i < std::size(rows); ++i) {
    if (!rows[i].part) continue;
    const std::string& l = lines[out++];
    EXPECT_EQ(l.rfind("{\"line\":" + std::to_string(i + 1) + ",", 0), 0u) << l;
    EXPECT_TRUE(Has(l, "\"error\":") != rows[i].ok && Has(l, rows[i].part)) << rows[i].part << "\n" << l;
    EXPECT_TRUE(json::accept(l)) << l;
  }
  EXPECT_TRUE(Has(lines[4], "\"timeDiffDays\":-0.000324074")) << lines[4];
  // The same chart as the single-chart JSON, with its line number in front.
  const Result one = Cli({"--date=1980-03-01", "--time=0:10", "--jisa=-18", "--jisa-sec=30", "--json", Now});
  EXPECT_EQ(lines[0], "{\"line\":1," + one.out.substr(1, one.out.size() - 2));
  // --dst off sets the default; a line's own "dst" still wins.
  const auto off = Lines(Cli({"--batch", "--dst=off", "--fields=moment", Now},
                             s + "}\n" + s + ",\"dst\":\"auto\"}\n").out);
  ASSERT_EQ(off.size(), 2u);
  EXPECT_TRUE(Has(off[0], "\"clockShiftMinutes\":0") && Has(off[1], "\"clockShiftMinutes\":-60"));
  // --fields chart: exactly the chart, also for a line with a place.
  const Result chart = Cli({"--batch", "--fields=chart", Now}, b + ",\"place\":\"千代田区\"}\n");
  EXPECT_TRUE(Has(chart.out, "\"currentColumn\":") && chart.out.ends_with("}}\n")) << chart.out;
}

// Births spread as tools/batch_lines.py spreads them, with blank lines, lines
// that are not JSON and dates not in the calendar among them. A repeated
// "minute" key (the last counts) varies the minute.
std::string MixedLines(int count) {
  std::string in;
  for (int i = 0; i < count; ++i) {
    const int year = 1800 + (i * 37) % 281;
    const std::string hour = i % 23 == 0 ? "?" : std::to_string(i % 24);
    switch (i % 16) {
      case 3: in += "\n"; break;
      case 7: in += " \t\r\n"; break;
      case 9: in += "{\"year\":" + std::to_string(year) + "\n"; break;
      case 12: in += J(year, 2, 30, hour, "男", "0", "0") + "\n"; break;
      default:
        in += J(year, 1 + i * 5 % 12, 1 + i * 11 % 28, hour, i % 2 ? "男" : "女", std::to_string(i % 97 - 48),
                std::to_string(i * 13 % 60), ",\"minute\":\"" + std::to_string(i * 7 % 60) + "\"") + "\n";
    }
  }
  return in;
}

// Without the moment's fields (a tenth of the cost), so that the sanitizer
// build runs it in reasonable time.
TEST(Cli, ParallelBatchEqualsOneCoreAndNumbersReadBack) {
  const std::string in = MixedLines(20000);
  const Result one = Cli({"--batch", "--jobs=1", "--fields=chart,reading", Now}, in);
  ASSERT_EQ(one.status, 1) << one.err;
  const Result two = Cli({"--batch", "--jobs=2", "--fields=chart,reading", Now}, in);
  EXPECT_EQ(two.status, 1) << two.err;
  EXPECT_TRUE(two.out == one.out) << "--jobs=2 differs from --jobs=1";
  const auto inLines = Lines(in), outLines = Lines(one.out);
  ASSERT_EQ(outLines.size(), 20000u - 2500u);
  // Every number of a sample of the charts is the double computed directly.
  int charts = 0;
  for (std::size_t k = 0; k < outLines.size(); k += 37) {
    const auto out = json::parse(outLines[k]);
    if (out.contains("error")) continue;
    const std::string& line = inLines.at(out["line"].get<std::size_t>() - 1);
    torvela::cli::Birth birth;
    torvela::chart::LocalTime now{2026, 12, 6, 12, 0};
    std::string error;
    ASSERT_TRUE(torvela::cli::ReadBatchLine(line, {CliTables(), now, {}, {}, nullptr}, birth, now, error)) << line;
    const auto r =
        torvela::chart::ComputeBirth(torvela::cli::InputOf(birth), birth.moment, CliTables(), now).chart;
    torvela::chart::ForEachResultField(r, [&](const char* name, const auto& field) {
      if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, double>) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(out["result"][name].get<double>()), std::bit_cast<std::uint64_t>(field))
            << name << " in " << outLines[k];
      }
    });
    ++charts;
  }
  EXPECT_GT(charts, 300);
}

TEST(Cli, ReadAndWriteErrorsExitThree) {
  // More lines than the chunks in flight, so that the reader is waiting when the output fails.
  std::string many;
  for (int i = 0; i < 5000; ++i) many += J(1980, 3, 1, "0", "女", "0", "0") + "\n";
  struct Row { Args args; const char *in, *out, *part; } const rows[] = {
      {{"--batch", "--jobs=1", Now}, "", "/dev/full", "(cannot write output): "},
      {{"--batch", "--jobs=2", Now}, "", "/dev/full", "(cannot write output): "},
      {{"--date=1980-03-01", "--time=1:00", Now}, "", "/dev/full", "出力に書き込めません"},
      {{"--help"}, "", "/dev/full", "出力に書き込めません"},
      {{"--batch", "--jobs=1", Now}, "/", "", "(cannot read input): "},
      {{"--batch", "--jobs=2", Now}, "/", "", "入力を読めません"},
  };
  for (const Row& row : rows) {
    const Result r = Cli(row.args, many, row.in, row.out);
    EXPECT_TRUE(r.status == 3 && Has(r.err, row.part)) << row.args[0] << " " << r.status << r.err;
  }
}

TEST(Cli, ByteOrderMarkAndOverLongLines) {
  const std::string good = J(1980, 3, 1, "0", "女", "-18", "30");
  const Result ref = Cli({"--batch", Now}, good);
  ASSERT_EQ(ref.status, 0);
  const std::string chart = ref.out.substr(ref.out.find(','));  // after "line"
  // Blanks inside the object pad a line to exactly the limit, and one past.
  std::string longest = good, tooLong = good;
  longest.insert(1, torvela::cli::MaxLineBytes - good.size(), ' ');
  tooLong.insert(1, torvela::cli::MaxLineBytes + 1 - good.size(), ' ');
  const std::string in = "\xEF\xBB\xBF" + good + "\n" + tooLong + "\n" + longest + "\n" + "\xEF\xBB\xBF" + good +
                         "\n" + good;  // no newline at the end
  for (const char* jobs : {"--jobs=1", "--jobs=2"}) {
    const Result r = Cli({"--batch", jobs, Now}, in);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "{\"line\":1" + chart + "{\"line\":2,\"error\":\"行が長すぎます (line longer than 1 MiB)\"}\n" +
                         "{\"line\":3" + chart + "{\"line\":4" + chart + "{\"line\":5" + chart);
  }
}

// Full-width digits and minus in the time difference; "now" by Japan's clock.
TEST(Cli, FullWidthTimeDifferenceAndJapanNow) {
  const auto chart = [](const std::string& hun, const std::string& byo) {
    return Json({"--date=1975-03-05", "--time=14:30", "--jisa=" + hun, "--jisa-sec=" + byo, "--fields=chart"});
  };
  const char* rows[][4] = {{"－１３", "１４", "-13", "14"}, {"−１３", "14", "-13", "14"},
                           {"１９", "３０", "19", "30"}, {"－０", "２８", "-0", "28"}};
  for (const auto& row : rows) EXPECT_EQ(chart(row[0], row[1]), chart(row[2], row[3])) << row[0];
  const Result batch = Cli({"--batch", "--fields=chart", Now}, J(1975, 3, 5, "14", "女", "－１３", "１４") + "\n" +
                                                                J(1975, 3, 5, "14", "女", "-13", "14") + "\n");
  const auto lines = Lines(batch.out);
  ASSERT_TRUE(batch.status == 0 && lines.size() == 2u) << batch.err;
  EXPECT_EQ(lines[0].substr(lines[0].find(',')), lines[1].substr(lines[1].find(',')));
  // Without --now the present is Japan's whatever the machine's zone: the two
  // runs agree to the minute they ran in, not 17 hours apart.
  const auto nowIn = [](const std::string& zone) {
    const Result r = Cli({"--date=1975-03-05", "--time=14:30", "--json", "--fields=chart"}, "", "", "", "TZ=" + zone);
    return json::parse(r.out)["result"]["nowJD"].get<double>();
  };
  EXPECT_LT(std::fabs(nowIn("America/Los_Angeles") - nowIn("Asia/Tokyo")), 2.0 / 1440);
}

// The 名簿 through the command line.
std::string Db(const char* name) { return "--db=" + Tmp(name); }
const std::string Header =
    "名前,よみ,メモ,生年,生月,生日,生時,生分,性別,時差分,時差秒,出生地コード,出生地,"
    "夏時間補正,1888年以前,境界幅,登録日時,更新日時\r\n";

TEST(Cli, SaveListPersonGiveTheSameChart) {
  const Args birth = {"--date=1975-03-05", "--time=14:30", "--sex=男", "--place=福岡市", "--margin=10"};
  const Result saved = Cli(Args{Db("a.sqlite"), "--save=山田太郎"} + birth);
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_TRUE(Has(saved.out, "山田太郎"));
  ASSERT_EQ(Cli({Db("a.sqlite"), "--save=鈴木花子", "--date=1990-12-31", "--time=?:?"}).status, 0);
  EXPECT_EQ(Lines(Cli({Db("a.sqlite"), "--list"}).out),
            (std::vector<std::string>{"山田太郎\t\t1975年3月5日14時30分\t男\t-18分20秒\t福岡県福岡市",
                                      "鈴木花子\t\t1990年12月31日出生時間不明\t女\t0分0秒\t"}));
  // The saved person's chart is the chart of the options, place and margin included.
  const Args person = {Db("a.sqlite"), "--person=山田太郎", Now};
  EXPECT_EQ("氏名：山田太郎\n" + Cli(birth + Args{Now}).out, Cli(person).out);
  const Result kept = Cli(person + Args{"--json"});
  EXPECT_EQ(Cli(birth + Args{"--json", Now}).out, kept.out);
  EXPECT_TRUE(Has(kept.out, "\"place\":{\"code\":\"401307\"")) << kept.out;
  // Saving a name again updates that person; TORVELA_DB names the file when --db does not.
  const Result again = Cli({Db("a.sqlite"), "--save=山田太郎", "--date=1975-03-06", "--time=9:05"});
  EXPECT_TRUE(again.status == 0 && Has(again.out, "更新")) << again.out << again.err;
  const Result env = Cli({"--list"}, "", "", "", "TORVELA_DB='" + Tmp("a.sqlite") + "'");
  EXPECT_EQ(Lines(env.out), (std::vector<std::string>{"山田太郎\t\t1975年3月6日9時5分\t女\t0分0秒\t",
                                                     "鈴木花子\t\t1990年12月31日出生時間不明\t女\t0分0秒\t"}));
}

// Looking into a 名簿 that is not there yet (or importing a file that cannot be
// read into it) leaves no database file behind.
TEST(Cli, LookingCreatesNoList) {
  const Result list = Cli({Db("none.sqlite"), "--list"});
  EXPECT_TRUE(list.status == 0 && list.out.empty()) << list.err;
  EXPECT_EQ(Cli({Db("none.sqlite"), "--person=山田太郎"}).status, 2);
  const Result exported = Cli({Db("none.sqlite"), "--export=" + Tmp("none.csv")});
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(Slurp(Tmp("none.csv")), "\xEF\xBB\xBF" + Header);
  Write(Tmp("notcsv.csv"), "a,b\r\n");
  EXPECT_EQ(Cli({Db("none.sqlite"), "--import=" + Tmp("notcsv.csv")}).status, 1);
  EXPECT_FALSE(fs::exists(Tmp("none.sqlite")));
}

TEST(Cli, PdfHoldsTheEightCharactersAndTheName) {
  ASSERT_EQ(Cli({Db("p.sqlite"), "--save=佐藤一郎", "--date=1980-03-01", "--time=0:10", "--jisa=-18",
                 "--jisa-sec=30"}).status, 0);
  const auto texts = json::parse(Cli({Db("p.sqlite"), "--person=佐藤一郎", "--json", Now}).out)["texts"];
  const Result pdf = Cli({Db("p.sqlite"), "--person=佐藤一郎", "--pdf=" + Tmp("a.pdf"), Now});
  ASSERT_TRUE(pdf.status == 0 && pdf.out.empty()) << pdf.err;
  const std::string cmd = "pdftotext -layout '" + Tmp("a.pdf") + "' '" + Tmp("a.txt") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string text = Slurp(Tmp("a.txt"));
  EXPECT_TRUE(Has(text, "佐藤一郎") && Has(text, "1980年3月1日0時10分") && Has(text, "通変星")) << text;
  for (const char* key : {"yKan", "yShi", "mKan", "mShi", "dKan", "dShi", "hKan", "hShi"})
    EXPECT_TRUE(Has(text, texts[key].get<std::string>())) << key;
  // From the chart options too, with the JSON as well.
  const Result both = Cli({"--date=1980-03-01", "--time=0:10", "--pdf=" + Tmp("b.pdf"), "--json", Now});
  EXPECT_TRUE(both.status == 0 && json::accept(both.out) && Slurp(Tmp("b.pdf")).rfind("%PDF", 0) == 0);
}

TEST(Cli, ImportWithBadRowsAddsNothingUnlessSkipped) {
  Write(Tmp("in.csv"), Header +
                           "一,,,1980,3,1,0,10,女,-18,30,,,,,,,\r\n"
                           "二,,\"メモ, \"\"引用\"\"\n二行目\",1981,2,30,1,1,男,0,0,,,,,,,\r\n"
                           "三,,,1982,4,5,?,,男,19,0,,,off,lmt,60,,\r\n"
                           "四,,,1983,5,6,25,0,女,0,0,,,,,,,\r\n");
  const Result refused = Cli({Db("i.sqlite"), "--import=" + Tmp("in.csv")});
  EXPECT_EQ(refused.status, 1);
  // The row with a line break in its memo starts on line 3; the next is line 5.
  EXPECT_TRUE(Has(refused.err, "3行目") && Has(refused.err, "6行目") && !Has(refused.err, "5行目")) << refused.err;
  EXPECT_TRUE(Cli({Db("i.sqlite"), "--list"}).out.empty());
  const Result skipped = Cli({Db("i.sqlite"), "--import=" + Tmp("in.csv"), "--skip-bad"});
  EXPECT_EQ(skipped.status, 0) << skipped.err;
  EXPECT_TRUE(Has(skipped.out, "2 人") && Has(skipped.err, "6行目")) << skipped.out << skipped.err;
  EXPECT_EQ(Lines(Cli({Db("i.sqlite"), "--list"}).out),
            (std::vector<std::string>{"一\t\t1980年3月1日0時10分\t女\t-18分30秒\t",
                                      "三\t\t1982年4月5日出生時間不明\t男\t19分0秒\t"}));
  // Not a 名簿 CSV at all: status 1, nothing added.
  for (const std::string& bytes : {std::string(), std::string("a,b\r\n1,2\r\n")}) {
    Write(Tmp("bad.csv"), bytes);
    const Result r = Cli({Db("other.sqlite"), "--import=" + Tmp("bad.csv")});
    EXPECT_TRUE(r.status == 1 && !r.err.empty()) << r.err;
  }
  EXPECT_TRUE(Cli({Db("other.sqlite"), "--list"}).out.empty());
}

TEST(Cli, ExportThenImportGivesTheSamePeople) {
  for (const Args& save : {Args{"--save=甲", "--date=1949-07-01", "--time=10:00", "--dst=off"},
                           Args{"--save=乙", "--date=1880-06-10", "--time=10:?", "--place=京都市", "--before-1888=solar"},
                           Args{"--save=丙, \"quoted\"", "--date=2000-01-01", "--time=?:?", "--jisa=－１３", "--sex=男"}})
    ASSERT_EQ(Cli(Args{Db("x.sqlite")} + save).status, 0) << save[0];
  const Result exported = Cli({Db("x.sqlite"), "--export=" + Tmp("out.csv")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_TRUE(Has(exported.out, "3 人"));
  EXPECT_EQ(Slurp(Tmp("out.csv")).rfind("\xEF\xBB\xBF名前,", 0), 0u);
  ASSERT_EQ(Cli({Db("y.sqlite"), "--import=" + Tmp("out.csv")}).status, 0);
  const std::string a = Cli({Db("x.sqlite"), "--list"}).out;
  EXPECT_EQ(Lines(a).size(), 3u);
  EXPECT_EQ(a, Cli({Db("y.sqlite"), "--list"}).out);
  for (const std::string who : {"甲", "乙", "丙, \"quoted\""})
    EXPECT_EQ(Cli({Db("x.sqlite"), "--person=" + who, "--json", Now}).out,
              Cli({Db("y.sqlite"), "--person=" + who, "--json", Now}).out) << who;
}

TEST(Cli, ADamagedDatabaseIsReportedAndLeftAlone) {
  std::mt19937 random(7);
  std::string bytes(8192, '\0');
  for (char& ch : bytes) ch = static_cast<char>(random());
  const std::string foreign = "SQLite format 3" + std::string(1, '\0') + bytes.substr(0, 84);
  const std::string db = Db("bad.sqlite");
  for (const std::string& content : {bytes, foreign}) {
    Write(Tmp("bad.sqlite"), content);
    for (const Args& args : {Args{db, "--list"}, Args{db, "--save=X", "--date=1980-03-01", "--time=1:00"},
                             Args{db, "--person=X"}, Args{db, "--export=" + Tmp("x.csv")}}) {
      const Result r = Cli(args);
      EXPECT_TRUE(r.status == 1 && !r.err.empty() && r.out.empty()) << args[1] << r.err;
      EXPECT_TRUE(Slurp(Tmp("bad.sqlite")) == content) << args[1];
    }
  }
}

}  // namespace
