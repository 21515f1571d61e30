// The reading's tables against the rules they come from, entry by entry,
// and properties that a single mistyped entry breaks.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "reading/Reading.h"
#include "reading/ReadingTexts.h"

namespace torvela::reading {
namespace {

const Tables kNames = NameTables();

std::string StemName(int s) { return kNames.StemNames[s]; }
std::string BranchName(int b) { return kNames.BranchNames[b]; }
std::string Name(TenGod g) { return std::string(TenGodNames[static_cast<int>(g)]); }
std::string Name(TwelveStage s) { return std::string(TwelveStageNames[static_cast<int>(s)]); }

// Stem or branch number of a one-kanji name (3 bytes of UTF-8).
int StemNumber(std::string_view name) {
  for (int s = 1; s <= 10; ++s)
    if (kNames.StemNames[s] == name) return s;
  return 0;
}
int BranchNumber(std::string_view name) {
  for (int b = 1; b <= 12; ++b)
    if (kNames.BranchNames[b] == name) return b;
  return 0;
}
// Sexagenary index of a two-kanji pillar name such as "甲子".
int IndexOf(std::string_view pillar) {
  return SexagenaryIndex(StemNumber(pillar.substr(0, 3)), BranchNumber(pillar.substr(3, 3)));
}

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

// What the day stem is to the other stem when the other is `g` to the day
// stem: produces <-> produced by, controls <-> controlled by.
std::string Converse(const std::string& g) {
  static const std::pair<const char*, const char*> pairs[] = {
      {"比肩", "比肩"}, {"劫財", "劫財"}, {"食神", "偏印"}, {"傷官", "印綬"}, {"偏財", "偏官"},
      {"正財", "正官"}, {"偏官", "偏財"}, {"正官", "正財"}, {"偏印", "食神"}, {"印綬", "傷官"}};
  for (const auto& [a, b] : pairs)
    if (g == a) return b;
  return "?";
}

TEST(TenGods, EveryDayStemAgainstEveryStemReadBothWays) {
  for (int d = 1; d <= 10; ++d) {
    for (int s = 1; s <= 10; ++s) {
      const std::string expected = std::string(kTenGodRows[d - 1]).substr((s - 1) * 6, 6);
      SCOPED_TRACE("day " + StemName(d) + ", stem " + StemName(s));
      EXPECT_EQ(Name(TenGodOf(d, s)), expected);
      // The same table read from the other stem's side.
      EXPECT_EQ(Name(TenGodOf(s, d)), Converse(expected));
    }
  }
}

TEST(TenGods, EachDayStemMeetsEachStarExactlyOnce) {
  for (int d = 1; d <= 10; ++d) {
    std::set<TenGod> met;
    for (int s = 1; s <= 10; ++s) met.insert(TenGodOf(d, s));
    EXPECT_EQ(met.size(), 10u) << StemName(d);
  }
}

TEST(TenGods, ElementAndPolarityTables) {
  std::string stems, branches, stemYang, branchYang;
  for (int s = 1; s <= 10; ++s) {
    stems += ElementNames[static_cast<int>(StemElement[s - 1])];
    stemYang += StemIsYang[s - 1] ? "陽" : "陰";
  }
  for (int b = 1; b <= 12; ++b) {
    branches += ElementNames[static_cast<int>(BranchElement[b - 1])];
    branchYang += BranchIsYang[b - 1] ? "陽" : "陰";
  }
  EXPECT_EQ(stems, "木木火火土土金金水水");
  EXPECT_EQ(stemYang, "陽陰陽陰陽陰陽陰陽陰");
  EXPECT_EQ(branches, "水土木木土火火土金金土水");
  EXPECT_EQ(branchYang, "陽陰陽陰陽陰陽陰陽陰陽陰");
}

TEST(HiddenStems, AsListedWithTheMainStemOfTheBranchsElement) {
  const char* expected[12] = {"癸",     "己癸辛", "甲丙戊", "乙",     "戊乙癸", "丙庚戊",
                              "丁己",   "己丁乙", "庚壬戊", "辛",     "戊辛丁", "壬甲"};
  for (int b = 1; b <= 12; ++b) {
    std::string names;
    for (int s : HiddenStemTable[b - 1])
      if (s != 0) names += StemName(s);
    EXPECT_EQ(names, expected[b - 1]) << BranchName(b);
    EXPECT_EQ(StemElement[HiddenStemTable[b - 1][0] - 1], BranchElement[b - 1]) << BranchName(b);
  }
}

// Branches of 長生, 帝旺 and 養 (first, fifth and last of the cycle) of each stem.
TEST(TwelveStages, SpotChecksFromBothEndsOfTheCycle) {
  const struct {
    const char *stem, *chousei, *teiou, *you;
  } cases[] = {{"甲", "亥", "卯", "戌"}, {"乙", "午", "寅", "未"}, {"丙", "寅", "午", "丑"},
               {"丁", "酉", "巳", "戌"}, {"戊", "寅", "午", "丑"}, {"己", "酉", "巳", "戌"},
               {"庚", "巳", "酉", "辰"}, {"辛", "子", "申", "丑"}, {"壬", "申", "子", "未"},
               {"癸", "卯", "亥", "辰"}};
  for (const auto& c : cases) {
    const int s = StemNumber(c.stem);
    EXPECT_EQ(Name(TwelveStageOf(s, BranchNumber(c.chousei))), "長生") << c.stem;
    EXPECT_EQ(Name(TwelveStageOf(s, BranchNumber(c.teiou))), "帝旺") << c.stem;
    EXPECT_EQ(Name(TwelveStageOf(s, BranchNumber(c.you))), "養") << c.stem;
  }
}

TEST(TwelveStages, EachStemPassesThroughAllTwelveInOrder) {
  for (int s = 1; s <= 10; ++s) {
    int start = 0;
    for (int b = 1; b <= 12; ++b)
      if (TwelveStageOf(s, b) == TwelveStage::Chousei) start = b;
    ASSERT_NE(start, 0) << StemName(s);
    const int step = StemIsYang[s - 1] ? 1 : -1;  // yang forward, yin backward
    for (int k = 0; k < 12; ++k) {
      const int b = ((start - 1 + step * k) % 12 + 12) % 12 + 1;
      EXPECT_EQ(static_cast<int>(TwelveStageOf(s, b)), k) << StemName(s) << BranchName(b);
    }
  }
}

TEST(Void, TheSixTenDayWeeks) {
  const struct {
    const char *first, *last, *voids;
  } weeks[] = {{"甲子", "癸酉", "戌亥"}, {"甲戌", "癸未", "申酉"}, {"甲申", "癸巳", "午未"},
               {"甲午", "癸卯", "辰巳"}, {"甲辰", "癸丑", "寅卯"}, {"甲寅", "癸亥", "子丑"}};
  for (const auto& w : weeks) {
    for (const char* pillar : {w.first, w.last}) {
      const auto v = VoidBranchesOf(IndexOf(pillar));
      EXPECT_EQ(BranchName(v[0]) + BranchName(v[1]), w.voids) << pillar;
    }
  }
}

TEST(Void, TheTwoBranchesTheWeekDoesNotReach) {
  for (int i = 1; i <= 60; ++i) {
    std::set<int> left;
    for (int b = 1; b <= 12; ++b) left.insert(b);
    const int weekStart = (i - 1) / 10 * 10 + 1;
    for (int j = weekStart; j < weekStart + 10; ++j) left.erase(BranchOf(j));
    const auto v = VoidBranchesOf(i);
    EXPECT_EQ(left, (std::set<int>{v[0], v[1]})) << i;
  }
}

TEST(Nayin, FirstAndLastPairOfEachElement) {
  const struct {
    const char *pillar, *nayin;
  } cases[] = {
      {"甲子", "海中金"}, {"乙丑", "海中金"}, {"庚戌", "釵釧金"}, {"辛亥", "釵釧金"},
      {"丙寅", "炉中火"}, {"丁卯", "炉中火"}, {"戊午", "天上火"}, {"己未", "天上火"},
      {"戊辰", "大林木"}, {"己巳", "大林木"}, {"庚申", "石榴木"}, {"辛酉", "石榴木"},
      {"庚午", "路傍土"}, {"辛未", "路傍土"}, {"丙辰", "砂中土"}, {"丁巳", "砂中土"},
      {"丙子", "澗下水"}, {"丁丑", "澗下水"}, {"壬戌", "大海水"}, {"癸亥", "大海水"},
  };
  for (const auto& c : cases) EXPECT_EQ(NayinNames[NayinOf(IndexOf(c.pillar))], c.nayin) << c.pillar;
}

TEST(Nayin, ThirtyNamesSixOfEachElement) {
  std::set<std::string_view> names(NayinNames.begin(), NayinNames.end());
  EXPECT_EQ(names.size(), 30u);
  for (std::string_view e : ElementNames) {
    int n = 0;
    for (std::string_view name : NayinNames) n += name.substr(6) == e;
    EXPECT_EQ(n, 6) << e;
  }
}

TEST(Pillars, IndexOfStemAndBranch) {
  for (int i = 1; i <= 60; ++i) EXPECT_EQ(SexagenaryIndex(StemOf(i), BranchOf(i)), i);
  EXPECT_EQ(SexagenaryIndex(1, 2), 0);  // 甲丑: no such pillar
  EXPECT_EQ(SexagenaryIndex(0, 0), 0);
  EXPECT_EQ(SexagenaryIndex(11, 1), 0);
  EXPECT_EQ(SexagenaryIndex(1, 13), 0);
}

}  // namespace
}  // namespace torvela::reading
