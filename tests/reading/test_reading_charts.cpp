// Whole readings worked by hand from the rules, written out as the table
// shows them (columns 時・日・月・年), with the yearly luck of each; the
// fields named once; and damaged charts read without harm.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "reading/Reading.h"
#include "reading/ReadingFields.h"
#include "reading/ReadingTexts.h"

namespace torvela::reading {
namespace {

const Tables kNames = NameTables();

int Number(const std::array<std::string, 11>& t, std::string_view n) {
  for (int i = 1; i < 11; ++i)
    if (t[i] == n) return i;
  return 0;
}
int Number(const std::array<std::string, 13>& t, std::string_view n) {
  for (int i = 1; i < 13; ++i)
    if (t[i] == n) return i;
  return 0;
}

// A chart with the given pillars ("□□" for an unknown hour) and great-luck
// ages starting at a (the chart's fromAges/toAges rule).
chart::ChartResult Chart(const char* year, const char* month, const char* day, const char* hour,
                         int a, int currentColumn) {
  chart::ChartResult r;
  const auto set = [](std::string_view p, int& s, int& b) {
    s = Number(kNames.StemNames, p.substr(0, 3));
    b = Number(kNames.BranchNames, p.substr(3, 3));
  };
  set(year, r.yearStem, r.yearBranch);
  set(month, r.monthStem, r.monthBranch);
  set(day, r.dayStem, r.dayBranch);
  set(hour, r.hourStem, r.hourBranch);
  r.hourUnknown = r.hourStem == 0;
  for (int i = 0; i < 10; ++i) r.fromAges[i] = a + 10 * i;
  for (int i = 0; i <= 10; ++i) r.toAges[i] = a - 1 + 10 * i;
  if (a == 0) r.toAges[0] = 0;
  r.currentColumn = currentColumn;
  return r;
}

std::string Join(const std::vector<std::string>& v, const char* sep = "") {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) s += (i ? sep : "") + v[i];
  return s;
}

// The table as written on paper, columns 時 日 月 年.
struct Table {
  std::array<std::string, 4> tenGods, stems, branches, hidden, hiddenGods, stages, nayin;
  std::string voids;  // day 空亡, year 空亡, then ○ under each branch in the day's
  std::array<int, 5> elements, withMain;  // 木火土金水
  int yang, yin;
  std::vector<std::string> years;  // "year pillar 通変星 十二運 age", "*" for the current
};

Table Written(const ReadingTexts& t) {
  Table w;
  for (int c = 0; c < 4; ++c) {
    const Pillar p = DisplayOrder[c];
    w.tenGods[c] = t.tenGods[p];
    w.stems[c] = t.stems[p];
    w.branches[c] = t.branches[p];
    w.hidden[c] = Join(t.hiddenStems[p]);
    w.hiddenGods[c] = Join(t.hiddenStemTenGods[p], "・");
    w.stages[c] = t.twelveStages[p];
    w.nayin[c] = t.nayin[p];
  }
  w.voids = t.voidBranches.day + " " + t.voidBranches.year + " ";
  for (Pillar p : DisplayOrder) w.voids += t.inDayVoid[p] ? "○" : "・";
  w.elements = t.elementCounts.of;
  w.withMain = t.elementCountsWithMainHiddenStems.of;
  w.yang = t.yinYang.yang;
  w.yin = t.yinYang.yin;
  for (const YearLuckTexts& y : t.yearlyLuck.years)
    w.years.push_back(std::to_string(y.year) + " " + y.pillar + " " + y.tenGod + " " +
                      y.twelveStage + " " + std::to_string(y.age) + (y.current ? "*" : ""));
  return w;
}

void ExpectTable(const Table& got, const Table& want) {
  EXPECT_EQ(got.tenGods, want.tenGods);
  EXPECT_EQ(got.stems, want.stems);
  EXPECT_EQ(got.branches, want.branches);
  EXPECT_EQ(got.hidden, want.hidden);
  EXPECT_EQ(got.hiddenGods, want.hiddenGods);
  EXPECT_EQ(got.stages, want.stages);
  EXPECT_EQ(got.nayin, want.nayin);
  EXPECT_EQ(got.voids, want.voids);
  EXPECT_EQ(got.elements, want.elements);
  EXPECT_EQ(got.withMain, want.withMain);
  EXPECT_EQ(got.yang, want.yang);
  EXPECT_EQ(got.yin, want.yin);
  EXPECT_EQ(got.years, want.years);
}

Table ReadAndWrite(const chart::ChartResult& r, int birthYear, chart::LocalTime now) {
  return Written(MakeReadingTexts(Read(r, birthYear, now), kNames));
}

// 戊 day, all yang; today in column 4 (ages 33..42).
TEST(HandWorked, YangDayInTheFourthColumn) {
  const auto r = Chart("甲子", "丙寅", "戊午", "壬子", 3, 4);
  ExpectTable(ReadAndWrite(r, 1984, {2026, 12, 6, 12, 0}),
              {{"偏財", "日主", "偏印", "偏官"},
               {"壬", "戊", "丙", "甲"},
               {"子", "午", "寅", "子"},
               {"癸", "丁己", "甲丙戊", "癸"},
               {"正財", "印綬・劫財", "偏官・偏印・比肩", "正財"},
               {"胎", "帝旺", "長生", "胎"},
               {"桑柘木", "天上火", "炉中火", "海中金"},
               "子丑 戌亥 ○・・○",
               {2, 2, 1, 0, 3},
               {3, 3, 1, 0, 5},
               8, 0,
               {"2017 丁酉 印綬 死 33", "2018 戊戌 比肩 墓 34", "2019 己亥 劫財 絶 35",
                "2020 庚子 食神 胎 36", "2021 辛丑 傷官 養 37", "2022 壬寅 偏財 長生 38",
                "2023 癸卯 正財 沐浴 39", "2024 甲辰 偏官 冠帯 40", "2025 乙巳 正官 建禄 41",
                "2026 丙午 偏印 帝旺 42*"}});
}

// 辛 day, all yin; born after "now", so column 0 from birth (ages 0..6).
TEST(HandWorked, YinDayBornAfterNowReadsColumnZero) {
  const auto r = Chart("癸亥", "乙卯", "辛巳", "丁酉", 7, -1);
  ExpectTable(ReadAndWrite(r, 1983, {1980, 5, 1, 9, 0}),
              {{"偏官", "日主", "偏財", "食神"},
               {"丁", "辛", "乙", "癸"},
               {"酉", "巳", "卯", "亥"},
               {"辛", "丙庚戊", "乙", "壬甲"},
               {"比肩", "正官・劫財・印綬", "偏財", "傷官・正財"},
               {"建禄", "死", "絶", "沐浴"},
               {"山下火", "白蝋金", "大渓水", "大海水"},
               "申酉 子丑 ○・・・",
               {2, 2, 0, 2, 2},
               {3, 3, 0, 3, 3},
               0, 8,
               {"1983 癸亥 食神 沐浴 0", "1984 甲子 正財 長生 1", "1985 乙丑 偏財 養 2",
                "1986 丙寅 正官 胎 3", "1987 丁卯 偏官 絶 4", "1988 戊辰 印綬 墓 5",
                "1989 己巳 偏印 死 6"}});
}

// Hour unknown: the hour's column is □ and its two characters are not
// counted. More than a hundred years on, no column holds today: column 0,
// which with a first change at 0 is the year of birth alone.
TEST(HandWorked, HourUnknownLongAfterTheLastColumn) {
  const auto r = Chart("庚午", "辛巳", "甲戌", "□□", 0, -1);
  ExpectTable(ReadAndWrite(r, 1990, {2100, 1, 1, 0, 0}),
              {{"□", "日主", "正官", "偏官"},
               {"□", "甲", "辛", "庚"},
               {"□", "戌", "巳", "午"},
               {"□", "戊辛丁", "丙庚戊", "丁己"},
               {"□", "偏財・正官・傷官", "食神・偏官・偏財", "傷官・正財"},
               {"□", "養", "病", "死"},
               {"□", "山頭火", "白蝋金", "路傍土"},
               "申酉 戌亥 ・・・・",
               {1, 2, 1, 2, 0},
               {1, 4, 2, 2, 0},
               4, 2,
               {"1990 庚午 偏官 死 0"}});
}

// 癸 day with the year branch in the day's 空亡; today in the last column.
TEST(HandWorked, YearBranchInTheDaysVoidLastColumn) {
  const auto r = Chart("丙寅", "戊戌", "癸丑", "己未", 6, 10);
  ExpectTable(ReadAndWrite(r, 1986, {2085, 3, 1, 12, 0}),
              {{"偏官", "日主", "正官", "正財"},
               {"己", "癸", "戊", "丙"},
               {"未", "丑", "戌", "寅"},
               {"己丁乙", "己癸辛", "戊辛丁", "甲丙戊"},
               {"偏官・偏財・食神", "偏官・比肩・偏印", "正官・偏印・偏財", "傷官・正財・正官"},
               {"墓", "冠帯", "衰", "沐浴"},
               {"天上火", "桑柘木", "平地木", "炉中火"},
               "寅卯 戌亥 ・・・○",
               {1, 1, 5, 0, 1},
               {2, 1, 8, 0, 1},
               4, 4,
               {"2082 壬寅 劫財 沐浴 96", "2083 癸卯 比肩 長生 97", "2084 甲辰 傷官 養 98",
                "2085 乙巳 食神 胎 99*", "2086 丙午 正財 絶 100", "2087 丁未 偏財 墓 101",
                "2088 戊申 正官 死 102", "2089 己酉 偏官 病 103", "2090 庚戌 印綬 衰 104",
                "2091 辛亥 偏印 帝旺 105"}});
}

// A birth computed by the chart (1975-03-21 14:35, male, 19 minutes east):
// 乙卯 己卯 丙寅 乙未, first change at about 4 years 11 months, so the
// columns start at 5, and on 2026-12-06 column 5 (ages 45..54) holds today.
TEST(HandWorked, ComputedChart) {
  const Tables tables = LoadTables(TORVELA_TEST_DATA_DIR);
  const chart::LocalTime now{2026, 12, 6, 12, 0};
  const auto r = chart::ComputeChart(
      chart::InputFromTexts(1975, 3, 21, "14", "35", true, "19", "0"), tables, now);
  ASSERT_EQ(r.currentColumn, 5);
  ASSERT_EQ(r.fromAges[4], 45);
  ExpectTable(ReadAndWrite(r, 1975, now),
              {{"印綬", "日主", "傷官", "印綬"},
               {"乙", "丙", "己", "乙"},
               {"未", "寅", "卯", "卯"},
               {"己丁乙", "甲丙戊", "乙", "乙"},
               {"傷官・劫財・印綬", "偏印・比肩・食神", "印綬", "印綬"},
               {"衰", "長生", "沐浴", "沐浴"},
               {"砂中金", "炉中火", "城頭土", "大渓水"},
               "戌亥 子丑 ・・・・",
               {5, 1, 2, 0, 0},
               {8, 1, 3, 0, 0},
               2, 6,
               {"2020 庚子 偏財 胎 45", "2021 辛丑 正財 養 46", "2022 壬寅 偏官 長生 47",
                "2023 癸卯 正官 沐浴 48", "2024 甲辰 偏印 冠帯 49", "2025 乙巳 印綬 建禄 50",
                "2026 丙午 比肩 帝旺 51*", "2027 丁未 劫財 衰 52", "2028 戊申 食神 病 53",
                "2029 己酉 傷官 死 54"}});
}

TEST(Reading, UnknownHourIgnoresAnyHourPillarLeftInTheChart) {
  auto r = Chart("庚午", "辛巳", "甲戌", "甲子", 3, 1);
  r.hourUnknown = true;
  const Reading rd = Read(r, 1990, {2000, 1, 1, 0, 0});
  EXPECT_FALSE(rd.hourKnown);
  EXPECT_EQ(rd.pillars[Hour].index, 0);
  EXPECT_EQ(rd.yang + rd.yin, 6);
}

TEST(Reading, DamagedChartsReadWithoutHarm) {
  chart::ChartResult blank;  // no pillars at all
  const Reading none = Read(blank, 1990, {2000, 1, 1, 0, 0});
  EXPECT_EQ(none.dayMaster, 0);
  EXPECT_EQ(none.yearCount, 0);
  EXPECT_EQ(MakeReadingTexts(none, kNames).tenGods[Day], "□");

  auto r = Chart("庚午", "辛巳", "甲戌", "乙子", 3, 99);  // 乙子 is no pillar
  r.yearStem = 11;
  r.fromAges.fill(2147483647);
  r.toAges.fill(2147483647);
  const Reading rd = Read(r, -2147483647, {2000, 1, 1, 0, 0});
  EXPECT_FALSE(rd.hourKnown);
  EXPECT_EQ(rd.pillars[Year].index, 0);
  EXPECT_EQ(rd.luckColumn, 0);
  EXPECT_LE(rd.yearCount, MaxLuckYears);
}

// A walker in the way the JSON writer walks: records become nested keys.
template <typename T>
void Walk(const std::string& prefix, const T& value, std::vector<std::string>& keys) {
  if constexpr (Record<const T>) {
    ForEachField(value, [&](const char* key, const auto& v) { Walk(prefix + "." + key, v, keys); });
  } else if constexpr (requires { value.begin(); } && !std::is_same_v<T, std::string>) {
    for (const auto& item : value) Walk(prefix + "[]", item, keys);
  } else {
    keys.push_back(prefix);
  }
}

TEST(Fields, EveryFieldNamedOnceUnderPlainKeys) {
  const auto r = Chart("甲子", "丙寅", "戊午", "壬子", 3, 4);
  const ReadingTexts t = MakeReadingTexts(Read(r, 1984, {2026, 12, 6, 12, 0}), kNames);
  std::vector<std::string> top;
  ForEachReadingField(t, [&](const char* key, const auto&) { top.push_back(key); });
  EXPECT_EQ(top, (std::vector<std::string>{
                     "dayMaster", "stems", "branches", "tenGods", "hiddenStems",
                     "hiddenStemTenGods", "twelveStages", "nayin", "voidBranches", "inDayVoid",
                     "elementCounts", "elementCountsWithMainHiddenStems", "yinYang", "yearlyLuck"}));
  std::vector<std::string> keys;
  Walk("", t, keys);
  const std::set<std::string> distinct(keys.begin(), keys.end());
  for (const char* key : {".tenGods.hour", ".hiddenStems.year[]", ".voidBranches.day",
                          ".elementCounts.water", ".yinYang.yin", ".yearlyLuck.column",
                          ".yearlyLuck.years[].current", ".yearlyLuck.years[].twelveStage"})
    EXPECT_EQ(distinct.count(key), 1u) << key;
}

}  // namespace
}  // namespace torvela::reading
