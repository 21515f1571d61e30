#include "reading/ReadingTexts.h"

#include "calc/Numeric.h"

namespace torvela::reading {

namespace {

template <std::size_t N>
const std::string& NameOf(const std::array<std::string, N>& table, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < N ? table[i] : table[0];
}

std::string Name(TenGod g) { return std::string(TenGodNames[static_cast<int>(g)]); }
std::string Name(TwelveStage s) { return std::string(TwelveStageNames[static_cast<int>(s)]); }

}  // namespace

ReadingTexts MakeReadingTexts(const Reading& rd, const Tables& tables) {
  ReadingTexts t;
  const auto stem = [&tables](int s) { return NameOf(tables.StemNames, s); };
  const auto branch = [&tables](int b) { return NameOf(tables.BranchNames, b); };
  t.dayMaster = stem(rd.dayMaster);

  for (int i = Year; i <= Hour; ++i) {
    const auto p = static_cast<Pillar>(i);
    const PillarReading& pr = rd.pillars[p];
    if (pr.index == 0) {
      const std::string unknown(UnknownText);
      t.stems[p] = t.branches[p] = t.tenGods[p] = t.twelveStages[p] = t.nayin[p] = unknown;
      t.hiddenStems[p] = t.hiddenStemTenGods[p] = {unknown};
      continue;
    }
    t.stems[p] = stem(pr.stem);
    t.branches[p] = branch(pr.branch);
    t.tenGods[p] = pr.tenGod ? Name(*pr.tenGod) : std::string(DayMasterText);
    for (int k = 0; k < pr.hiddenCount; ++k) {
      t.hiddenStems[p].push_back(stem(pr.hiddenStems[k]));
      t.hiddenStemTenGods[p].push_back(Name(pr.hiddenTenGods[k]));
    }
    t.twelveStages[p] = pr.stage ? Name(*pr.stage) : std::string(UnknownText);
    t.nayin[p] = std::string(NayinNames[pr.nayin]);
    t.inDayVoid[p] = pr.inDayVoid;
  }

  t.voidBranches.day = branch(rd.dayVoid[0]) + branch(rd.dayVoid[1]);
  t.voidBranches.year = branch(rd.yearVoid[0]) + branch(rd.yearVoid[1]);
  t.elementCounts.of = rd.elementCounts;
  t.elementCountsWithMainHiddenStems.of = rd.elementCountsWithMainHidden;
  t.yinYang = {rd.yang, rd.yin};

  t.yearlyLuck.column = rd.luckColumn;
  t.yearlyLuck.years.reserve(rd.yearCount);
  for (int i = 0; i < rd.yearCount; ++i) {
    const YearLuck& y = rd.years[i];
    t.yearlyLuck.years.push_back({y.year, stem(StemOf(y.index)) + branch(BranchOf(y.index)),
                                  Name(y.tenGod), Name(y.stage), y.age, y.current});
  }
  return t;
}

std::string YearText(int year) { return WholeText(year) + "年"; }
std::string AgeText(int age) { return WholeText(age) + "歳"; }

std::string YearlyLuckTitle(const YearlyLuckTexts& luck) {
  std::string title(YearlyLuckHeading);
  if (luck.years.empty()) return title;
  return title + "（" + WholeText(luck.years.front().age) + "〜" + AgeText(luck.years.back().age) +
         "）";
}

std::string YinYangText(const YinYangTally& tally) {
  return std::string(YangText) + WholeText(tally.yang) + "・" + std::string(YinText) +
         WholeText(tally.yin);
}

}  // namespace torvela::reading
