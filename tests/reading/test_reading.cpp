// The reading's tables against the rules they come from, with properties a
// single mistyped entry breaks; whole readings worked by hand; damaged
// charts read without harm.
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

std::string Name(TenGod g) { return std::string(TenGodNames[static_cast<int>(g)]); }
std::string Name(TwelveStage s) { return std::string(TwelveStageNames[static_cast<int>(s)]); }
template <std::size_t N>
int Number(const std::array<std::string, N>& names, std::string_view name) {
  for (std::size_t i = 1; i < N; ++i)
    if (names[i] == name) return int(i);
  return 0;
}
int Stem(std::string_view name) { return Number(kNames.StemNames, name); }
int Branch(std::string_view name) { return Number(kNames.BranchNames, name); }
// Sexagenary index of a two-kanji pillar such as "甲子" (3 bytes of UTF-8 each).
int IndexOf(std::string_view p) { return SexagenaryIndex(Stem(p.substr(0, 3)), Branch(p.substr(3, 3))); }

// The ten gods by day stem (row) and the other stem (column), written out
// from the rule of production and control.
constexpr const char* kTenGodRows[10] = {
    /* 甲 */ "比肩劫財食神傷官偏財正財偏官正官偏印印綬",
    /* 乙 */ "劫財比肩傷官食神正財偏財正官偏官印綬偏印",
    /* 丙 */ "偏印印綬比肩劫財食神傷官偏財正財偏官正官",
    /* 丁 */ "印綬偏印劫財比肩傷官食神正財偏財正官偏官",
    /* 戊 */ "偏官正官偏印印綬比肩劫財食神傷官偏財正財",
    /* 己 */ "正官偏官印綬偏印劫財比肩傷官食神正財偏財",
    /* 庚 */ "偏財正財偏官正官偏印印綬比肩劫財食神傷官",
    /* 辛 */ "正財偏財正官偏官印綬偏印劫財比肩傷官食神",
    /* 壬 */ "食神傷官偏財正財偏官正官偏印印綬比肩劫財",
    /* 癸 */ "傷官食神正財偏財正官偏官印綬偏印劫財比肩",
};

TEST(Tables, TenGodsReadBothWaysEachStarOnce) {
  // What the day stem is to the other stem when the other is g to it:
  // produces <-> produced by, controls <-> controlled by.
  const std::string converse = "比肩劫財偏印印綬偏官正官偏財正財食神傷官";
  for (int d = 1; d <= 10; ++d) {
    std::set<TenGod> met;
    for (int s = 1; s <= 10; ++s) {
      SCOPED_TRACE("day " + kNames.StemNames[d] + ", stem " + kNames.StemNames[s]);
      const std::string want = std::string(kTenGodRows[d - 1]).substr((s - 1) * 6, 6);
      EXPECT_EQ(Name(TenGodOf(d, s)), want);
      const auto at = std::string(kTenGodRows[0]).find(want) / 6;  // 甲's row lists each god once
      EXPECT_EQ(Name(TenGodOf(s, d)), converse.substr(at * 6, 6));
      met.insert(TenGodOf(d, s));
    }
    EXPECT_EQ(met.size(), 10u) << kNames.StemNames[d];
  }
}

TEST(Tables, ElementsPolaritiesAndHiddenStems) {
  std::string stems, branches, hidden;
  for (int s = 1; s <= 10; ++s)
    stems += std::string(ElementNames[static_cast<int>(StemElement[s - 1])]) + (StemIsYang[s - 1] ? "陽" : "陰");
  for (int b = 1; b <= 12; ++b) {
    branches += std::string(ElementNames[static_cast<int>(BranchElement[b - 1])]) + (BranchIsYang[b - 1] ? "陽" : "陰");
    for (int s : HiddenStemTable[b - 1])
      if (s != 0) hidden += kNames.StemNames[s];
    hidden += " ";
    // The main hidden stem is of the branch's element.
    EXPECT_EQ(StemElement[HiddenStemTable[b - 1][0] - 1], BranchElement[b - 1]) << kNames.BranchNames[b];
  }
  EXPECT_EQ(stems, "木陽木陰火陽火陰土陽土陰金陽金陰水陽水陰");
  EXPECT_EQ(branches, "水陽土陰木陽木陰土陽火陰火陽土陰金陽金陰土陽水陰");
  EXPECT_EQ(hidden, "癸 己癸辛 甲丙戊 乙 戊乙癸 丙庚戊 丁己 己丁乙 庚壬戊 辛 戊辛丁 壬甲 ");
}

TEST(Tables, TwelveStagesEachOnceInOrder) {
  // Branches of 長生, 帝旺 and 養 (first, fifth and last of the cycle) of each stem.
  const char* spots[10][3] = {{"亥", "卯", "戌"}, {"午", "寅", "未"}, {"寅", "午", "丑"}, {"酉", "巳", "戌"},
                              {"寅", "午", "丑"}, {"酉", "巳", "戌"}, {"巳", "酉", "辰"}, {"子", "申", "丑"},
                              {"申", "子", "未"}, {"卯", "亥", "辰"}};
  for (int s = 1; s <= 10; ++s) {
    EXPECT_EQ(Name(TwelveStageOf(s, Branch(spots[s - 1][0]))), "長生") << kNames.StemNames[s];
    EXPECT_EQ(Name(TwelveStageOf(s, Branch(spots[s - 1][1]))), "帝旺") << kNames.StemNames[s];
    EXPECT_EQ(Name(TwelveStageOf(s, Branch(spots[s - 1][2]))), "養") << kNames.StemNames[s];
    // From 長生, every stage once, forward for yang, backward for yin.
    const int start = Branch(spots[s - 1][0]), step = StemIsYang[s - 1] ? 1 : -1;
    for (int k = 0; k < 12; ++k) {
      const int b = ((start - 1 + step * k) % 12 + 12) % 12 + 1;
      EXPECT_EQ(static_cast<int>(TwelveStageOf(s, b)), k) << kNames.StemNames[s] << kNames.BranchNames[b];
    }
  }
}

TEST(Tables, VoidIsWhatTheTenDayWeekDoesNotReach) {
  const char* weeks[6][3] = {{"甲子", "癸酉", "戌亥"}, {"甲戌", "癸未", "申酉"}, {"甲申", "癸巳", "午未"},
                             {"甲午", "癸卯", "辰巳"}, {"甲辰", "癸丑", "寅卯"}, {"甲寅", "癸亥", "子丑"}};
  for (const auto& w : weeks)
    for (const char* pillar : {w[0], w[1]}) {
      const auto v = VoidBranchesOf(IndexOf(pillar));
      EXPECT_EQ(kNames.BranchNames[v[0]] + kNames.BranchNames[v[1]], w[2]) << pillar;
    }
  for (int i = 1; i <= 60; ++i) {
    std::set<int> left = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int j = (i - 1) / 10 * 10 + 1, k = 0; k < 10; ++j, ++k) left.erase(BranchOf(j));
    const auto v = VoidBranchesOf(i);
    EXPECT_EQ(left, (std::set<int>{v[0], v[1]})) << i;
  }
}

TEST(Tables, NayinFirstAndLastPairOfEachElement) {
  const char* cases[][2] = {
      {"甲子", "海中金"}, {"乙丑", "海中金"}, {"庚戌", "釵釧金"}, {"辛亥", "釵釧金"}, {"丙寅", "炉中火"},
      {"丁卯", "炉中火"}, {"戊午", "天上火"}, {"己未", "天上火"}, {"戊辰", "大林木"}, {"己巳", "大林木"},
      {"庚申", "石榴木"}, {"辛酉", "石榴木"}, {"庚午", "路傍土"}, {"辛未", "路傍土"}, {"丙辰", "砂中土"},
      {"丁巳", "砂中土"}, {"丙子", "澗下水"}, {"丁丑", "澗下水"}, {"壬戌", "大海水"}, {"癸亥", "大海水"}};
  for (const auto& c : cases) EXPECT_EQ(NayinNames[NayinOf(IndexOf(c[0]))], c[1]) << c[0];
  // Thirty names, six of each element.
  EXPECT_EQ(std::set<std::string_view>(NayinNames.begin(), NayinNames.end()).size(), 30u);
  for (std::string_view e : ElementNames)
    EXPECT_EQ(std::count_if(NayinNames.begin(), NayinNames.end(), [&](auto n) { return n.substr(6) == e; }), 6);
  for (int i = 1; i <= 60; ++i) EXPECT_EQ(SexagenaryIndex(StemOf(i), BranchOf(i)), i);
  for (auto [s, b] : {std::pair{1, 2}, {0, 0}, {11, 1}, {1, 13}}) EXPECT_EQ(SexagenaryIndex(s, b), 0);  // 甲丑 ...
}

// A chart with the given pillars ("□□" for an unknown hour) and great-luck
// ages starting at a (the chart's fromAges/toAges rule).
chart::ChartResult Chart(const char* year, const char* month, const char* day, const char* hour, int a,
                         int currentColumn) {
  chart::ChartResult r;
  const auto set = [](std::string_view p, int& s, int& b) { s = Stem(p.substr(0, 3)), b = Branch(p.substr(3, 3)); };
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

// The table as written on paper, columns 時 日 月 年; the years of the
// yearly luck four to a line, "*" marking the current one.
std::string Written(const chart::ChartResult& r, int birthYear, chart::LocalTime now) {
  const ReadingTexts t = MakeReadingTexts(Read(r, birthYear, now), kNames);
  const auto row = [&](const char* label, auto cell) {
    std::string s = label;
    for (Pillar p : DisplayOrder) (s += ' ') += cell(p);
    return s + "\n";
  };
  const auto join = [](const auto& v, const char* sep) {
    std::string s;
    for (const std::string& x : v) s += (s.empty() ? "" : sep) + x;
    return s;
  };
  // Appended line by line: g++ 12 warns falsely (-Wrestrict) on long "a" + b chains.
  std::string w = row("通変星", [&](Pillar p) { return t.tenGods[p]; });
  w += row("干支", [&](Pillar p) { return t.stems[p] + t.branches[p]; });
  w += row("蔵干", [&](Pillar p) { return join(t.hiddenStems[p], ""); });
  w += row("蔵干通変星", [&](Pillar p) { return join(t.hiddenStemTenGods[p], "・"); });
  w += row("十二運", [&](Pillar p) { return t.twelveStages[p]; });
  w += row("納音", [&](Pillar p) { return t.nayin[p]; });
  std::string voidLabel = "空亡 ";
  ((voidLabel += t.voidBranches.day) += ' ') += t.voidBranches.year;
  w += row(voidLabel.c_str(), [&](Pillar p) { return std::string(t.inDayVoid[p] ? "○" : "・"); });
  w += "五行";
  for (int n : t.elementCounts.of) (w += ' ') += std::to_string(n);
  w += " /";
  for (int n : t.elementCountsWithMainHiddenStems.of) (w += ' ') += std::to_string(n);
  w += " 陰陽 " + std::to_string(t.yinYang.yang) + " " + std::to_string(t.yinYang.yin);
  for (std::size_t i = 0; i < t.yearlyLuck.years.size(); ++i) {
    const YearLuckTexts& y = t.yearlyLuck.years[i];
    w += (i % 4 ? ", " : "\n") + std::to_string(y.year) + " " + y.pillar + " " + y.tenGod + " " + y.twelveStage +
         " " + std::to_string(y.age) + (y.current ? "*" : "");
  }
  return w;
}

TEST(HandWorked, WholeTables) {
  const Tables tables = LoadTables(TORVELA_TEST_DATA_DIR);
  // 1975-03-21 14:35, male, 19 minutes east, computed by the chart: 乙卯 己卯
  // 丙寅 乙未, first change at about 4 years 11 months, so the columns start
  // at 5, and on 2026-12-06 column 5 (ages 45..54) holds today.
  const chart::ChartResult computed = chart::ComputeChart(
      chart::InputFromTexts(1975, 3, 21, "14", "35", true, "19", "0"), tables, {2026, 12, 6, 12, 0});
  ASSERT_EQ(computed.currentColumn, 5);
  ASSERT_EQ(computed.fromAges[4], 45);
  const struct { const char* what; chart::ChartResult chart; int birthYear; chart::LocalTime now; const char* table; }
      cases[] = {
          {"戊 day, all yang; today in column 4 (ages 33..42)", Chart("甲子", "丙寅", "戊午", "壬子", 3, 4), 1984,
           {2026, 12, 6, 12, 0},
           "通変星 偏財 日主 偏印 偏官\n"
           "干支 壬子 戊午 丙寅 甲子\n"
           "蔵干 癸 丁己 甲丙戊 癸\n"
           "蔵干通変星 正財 印綬・劫財 偏官・偏印・比肩 正財\n"
           "十二運 胎 帝旺 長生 胎\n"
           "納音 桑柘木 天上火 炉中火 海中金\n"
           "空亡 子丑 戌亥 ○ ・ ・ ○\n"
           "五行 2 2 1 0 3 / 3 3 1 0 5 陰陽 8 0\n"
           "2017 丁酉 印綬 死 33, 2018 戊戌 比肩 墓 34, 2019 己亥 劫財 絶 35, 2020 庚子 食神 胎 36\n"
           "2021 辛丑 傷官 養 37, 2022 壬寅 偏財 長生 38, 2023 癸卯 正財 沐浴 39, 2024 甲辰 偏官 冠帯 40\n"
           "2025 乙巳 正官 建禄 41, 2026 丙午 偏印 帝旺 42*"},
          {"辛 day, all yin; born after now, so column 0 from birth (ages 0..6)",
           Chart("癸亥", "乙卯", "辛巳", "丁酉", 7, -1), 1983, {1980, 5, 1, 9, 0},
           "通変星 偏官 日主 偏財 食神\n"
           "干支 丁酉 辛巳 乙卯 癸亥\n"
           "蔵干 辛 丙庚戊 乙 壬甲\n"
           "蔵干通変星 比肩 正官・劫財・印綬 偏財 傷官・正財\n"
           "十二運 建禄 死 絶 沐浴\n"
           "納音 山下火 白蝋金 大渓水 大海水\n"
           "空亡 申酉 子丑 ○ ・ ・ ・\n"
           "五行 2 2 0 2 2 / 3 3 0 3 3 陰陽 0 8\n"
           "1983 癸亥 食神 沐浴 0, 1984 甲子 正財 長生 1, 1985 乙丑 偏財 養 2, 1986 丙寅 正官 胎 3\n"
           "1987 丁卯 偏官 絶 4, 1988 戊辰 印綬 墓 5, 1989 己巳 偏印 死 6"},
          // The hour's column is □ and its characters are not counted. No
          // column holds today: column 0, with a first change at 0 the year of birth alone.
          {"hour unknown, long after the last column", Chart("庚午", "辛巳", "甲戌", "□□", 0, -1), 1990,
           {2100, 1, 1, 0, 0},
           "通変星 □ 日主 正官 偏官\n"
           "干支 □□ 甲戌 辛巳 庚午\n"
           "蔵干 □ 戊辛丁 丙庚戊 丁己\n"
           "蔵干通変星 □ 偏財・正官・傷官 食神・偏官・偏財 傷官・正財\n"
           "十二運 □ 養 病 死\n"
           "納音 □ 山頭火 白蝋金 路傍土\n"
           "空亡 申酉 戌亥 ・ ・ ・ ・\n"
           "五行 1 2 1 2 0 / 1 4 2 2 0 陰陽 4 2\n"
           "1990 庚午 偏官 死 0"},
          {"癸 day, the year branch in the day's 空亡; today in the last column",
           Chart("丙寅", "戊戌", "癸丑", "己未", 6, 10), 1986, {2085, 3, 1, 12, 0},
           "通変星 偏官 日主 正官 正財\n"
           "干支 己未 癸丑 戊戌 丙寅\n"
           "蔵干 己丁乙 己癸辛 戊辛丁 甲丙戊\n"
           "蔵干通変星 偏官・偏財・食神 偏官・比肩・偏印 正官・偏印・偏財 傷官・正財・正官\n"
           "十二運 墓 冠帯 衰 沐浴\n"
           "納音 天上火 桑柘木 平地木 炉中火\n"
           "空亡 寅卯 戌亥 ・ ・ ・ ○\n"
           "五行 1 1 5 0 1 / 2 1 8 0 1 陰陽 4 4\n"
           "2082 壬寅 劫財 沐浴 96, 2083 癸卯 比肩 長生 97, 2084 甲辰 傷官 養 98, 2085 乙巳 食神 胎 99*\n"
           "2086 丙午 正財 絶 100, 2087 丁未 偏財 墓 101, 2088 戊申 正官 死 102, 2089 己酉 偏官 病 103\n"
           "2090 庚戌 印綬 衰 104, 2091 辛亥 偏印 帝旺 105"},
          {"computed", computed, 1975, {2026, 12, 6, 12, 0},
           "通変星 印綬 日主 傷官 印綬\n"
           "干支 乙未 丙寅 己卯 乙卯\n"
           "蔵干 己丁乙 甲丙戊 乙 乙\n"
           "蔵干通変星 傷官・劫財・印綬 偏印・比肩・食神 印綬 印綬\n"
           "十二運 衰 長生 沐浴 沐浴\n"
           "納音 砂中金 炉中火 城頭土 大渓水\n"
           "空亡 戌亥 子丑 ・ ・ ・ ・\n"
           "五行 5 1 2 0 0 / 8 1 3 0 0 陰陽 2 6\n"
           "2020 庚子 偏財 胎 45, 2021 辛丑 正財 養 46, 2022 壬寅 偏官 長生 47, 2023 癸卯 正官 沐浴 48\n"
           "2024 甲辰 偏印 冠帯 49, 2025 乙巳 印綬 建禄 50, 2026 丙午 比肩 帝旺 51*, 2027 丁未 劫財 衰 52\n"
           "2028 戊申 食神 病 53, 2029 己酉 傷官 死 54"},
      };
  for (const auto& c : cases) EXPECT_EQ(Written(c.chart, c.birthYear, c.now), c.table) << c.what;
}

TEST(Reading, UnknownHourAndDamagedChartsReadWithoutHarm) {
  auto r = Chart("庚午", "辛巳", "甲戌", "甲子", 3, 1);
  r.hourUnknown = true;  // an hour pillar left in the chart is ignored
  const Reading unknown = Read(r, 1990, {2000, 1, 1, 0, 0});
  EXPECT_TRUE(!unknown.hourKnown && unknown.pillars[Hour].index == 0 && unknown.yang + unknown.yin == 6);

  const Reading none = Read(chart::ChartResult{}, 1990, {2000, 1, 1, 0, 0});  // no pillars at all
  EXPECT_TRUE(none.dayMaster == 0 && none.yearCount == 0);
  EXPECT_EQ(MakeReadingTexts(none, kNames).tenGods[Day], "□");

  r = Chart("庚午", "辛巳", "甲戌", "乙子", 3, 99);  // 乙子 is no pillar
  r.yearStem = 11;
  r.fromAges.fill(2147483647);
  r.toAges.fill(2147483647);
  const Reading bad = Read(r, -2147483647, {2000, 1, 1, 0, 0});
  EXPECT_TRUE(!bad.hourKnown && bad.pillars[Year].index == 0 && bad.luckColumn == 0);
  EXPECT_LE(bad.yearCount, MaxLuckYears);
}

// A walker in the way the JSON writer walks: records become nested keys.
template <typename T>
void Walk(const std::string& prefix, const T& value, std::set<std::string>& keys) {
  if constexpr (Record<const T>) {
    ForEachField(value, [&](const char* key, const auto& v) { Walk(prefix + "." + key, v, keys); });
  } else if constexpr (requires { value.begin(); } && !std::is_same_v<T, std::string>) {
    for (const auto& item : value) Walk(prefix + "[]", item, keys);
  } else {
    keys.insert(prefix);
  }
}

TEST(Reading, EveryFieldNamedOnceUnderPlainKeys) {
  const ReadingTexts t = MakeReadingTexts(Read(Chart("甲子", "丙寅", "戊午", "壬子", 3, 4), 1984, {2026, 12, 6, 12, 0}), kNames);
  std::vector<std::string> top;
  ForEachReadingField(t, [&](const char* key, const auto&) { top.push_back(key); });
  EXPECT_EQ(top, (std::vector<std::string>{"dayMaster", "stems", "branches", "tenGods", "hiddenStems",
                                           "hiddenStemTenGods", "twelveStages", "nayin", "voidBranches", "inDayVoid",
                                           "elementCounts", "elementCountsWithMainHiddenStems", "yinYang",
                                           "yearlyLuck"}));
  std::set<std::string> keys;
  Walk("", t, keys);
  for (const char* key : {".tenGods.hour", ".hiddenStems.year[]", ".voidBranches.day", ".elementCounts.water",
                          ".yinYang.yin", ".yearlyLuck.column", ".yearlyLuck.years[].current",
                          ".yearlyLuck.years[].twelveStage"})
    EXPECT_EQ(keys.count(key), 1u) << key;
}

}  // namespace
}  // namespace torvela::reading
