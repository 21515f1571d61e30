#include "reading/Reading.h"

#include <algorithm>
#include <cstdint>

namespace torvela::reading {

TenGod TenGodOf(int dayStem, int stem) { return TenGodTable[dayStem - 1][stem - 1]; }

TwelveStage TwelveStageOf(int stem, int branch) {
  return TwelveStageTable[stem - 1][branch - 1];
}

std::array<int, 2> VoidBranchesOf(int sexagenaryIndex) {
  return VoidBranchTable[(sexagenaryIndex - 1) / 10];
}

int NayinOf(int sexagenaryIndex) { return (sexagenaryIndex - 1) / 2; }

int SexagenaryIndex(int stem, int branch) {
  if (stem < 1 || stem > 10 || branch < 1 || branch > 12 || (stem - branch) % 2 != 0) return 0;
  // The index is stem + 10 w for the week w (0..5) whose start 甲 sits on
  // branch 1 + 10 w (mod 12); d = 10 w mod 12 gives w = (12 - d) / 2 mod 6.
  const int d = ((branch - stem) % 12 + 12) % 12;
  return stem + 10 * (((12 - d) / 2) % 6);
}

namespace {

void Count(std::array<int, 5>& counts, Element e) { ++counts[static_cast<int>(e)]; }

// The years of one great-luck column. Column k covers the ages
// fromAges[k - 1] .. toAges[k]; column 0 runs from birth to toAges[0].
void ReadYears(Reading& rd, const chart::ChartResult& chart, int birthYear,
               const chart::LocalTime& now) {
  const int column = chart.currentColumn >= 0 && chart.currentColumn <= 10 ? chart.currentColumn : 0;
  rd.luckColumn = column;
  // Ages out of any life's range come only from a damaged chart; keep the
  // arithmetic far from overflow.
  const int from = std::clamp(column == 0 ? 0 : chart.fromAges[column - 1], 0, 200);
  const int to = std::clamp(chart.toAges[column], -1, 200);
  for (int age = from; age <= to && rd.yearCount < MaxLuckYears; ++age) {
    YearLuck& y = rd.years[rd.yearCount++];
    y.year = birthYear + age;
    y.index = YearPillarIndex(y.year);
    y.tenGod = TenGodOf(rd.dayMaster, StemOf(y.index));
    y.stage = TwelveStageOf(rd.dayMaster, BranchOf(y.index));
    y.age = age;
    y.current = y.year == now.year;
  }
}

}  // namespace

Reading Read(const chart::ChartResult& chart, int birthYear, const chart::LocalTime& now) {
  Reading rd;
  const int dayIndex = SexagenaryIndex(chart.dayStem, chart.dayBranch);
  if (dayIndex == 0) return rd;  // no chart to read
  const int dm = chart.dayStem;
  rd.dayMaster = dm;
  rd.dayVoid = VoidBranchesOf(dayIndex);

  const std::array<int, PillarCount> stems{chart.yearStem, chart.monthStem, chart.dayStem,
                                           chart.hourStem};
  const std::array<int, PillarCount> branches{chart.yearBranch, chart.monthBranch,
                                              chart.dayBranch, chart.hourBranch};
  for (int p = Year; p <= Hour; ++p) {
    const int s = stems[p], b = branches[p];
    const int index = p == Hour && chart.hourUnknown ? 0 : SexagenaryIndex(s, b);
    if (index == 0) continue;
    PillarReading& pr = rd.pillars[p];
    pr.stem = s;
    pr.branch = b;
    pr.index = index;
    if (p != Day) pr.tenGod = TenGodOf(dm, s);
    const auto& hidden = HiddenStemTable[b - 1];
    for (int k = 0; k < 3 && hidden[k] != 0; ++k) {
      pr.hiddenStems[k] = hidden[k];
      pr.hiddenTenGods[k] = TenGodOf(dm, hidden[k]);
      pr.hiddenCount = k + 1;
    }
    pr.stage = TwelveStageOf(dm, b);
    pr.nayin = NayinOf(index);
    pr.inDayVoid = b == rd.dayVoid[0] || b == rd.dayVoid[1];

    Count(rd.elementCounts, StemElement[s - 1]);
    Count(rd.elementCounts, BranchElement[b - 1]);
    (StemIsYang[s - 1] ? rd.yang : rd.yin) += 1;
    (BranchIsYang[b - 1] ? rd.yang : rd.yin) += 1;
  }
  rd.hourKnown = rd.pillars[Hour].index != 0;
  if (const int yearIndex = rd.pillars[Year].index; yearIndex != 0)
    rd.yearVoid = VoidBranchesOf(yearIndex);

  rd.elementCountsWithMainHidden = rd.elementCounts;
  for (const PillarReading& pr : rd.pillars)
    if (pr.hiddenCount > 0) Count(rd.elementCountsWithMainHidden, StemElement[pr.hiddenStems[0] - 1]);

  ReadYears(rd, chart, std::clamp(birthYear, 100, 9999), now);
  return rd;
}

}  // namespace torvela::reading
