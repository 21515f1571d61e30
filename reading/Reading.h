// The reading of a chart: the stars read off the eight characters (通変星,
// 蔵干, 十二運, 空亡, 納音, 五行, 陰陽) and the yearly luck (年運) of the
// great-luck column that holds today. Computed from a finished chart, which
// it never changes. No Qt.
#pragma once

#include <array>
#include <optional>

#include "chart/Chart.h"
#include "reading/ReadingTables.h"

namespace torvela::reading {

// The pillars in the chart's order; indexes Reading::pillars. Tables show
// them the other way round (DisplayOrder in ReadingTexts.h).
enum Pillar : int { Year, Month, Day, Hour };
inline constexpr int PillarCount = 4;

// Years of one great-luck column: ten, or up to eleven for column 0, which
// runs from birth to the first change (at most ten years and a carried one).
inline constexpr int MaxLuckYears = 11;

// One pillar read against the day stem. A pillar that is not known (the
// hour when it is "?") has stem and branch 0 and nothing else set.
struct PillarReading {
  int stem = 0, branch = 0;          // 1..10, 1..12; 0 when unknown
  int index = 0;                     // sexagenary 1..60; 0 when unknown
  std::optional<TenGod> tenGod;      // of the stem; none for the day stem (日主)
  int hiddenCount = 0;               // 蔵干 of the branch: 1..3
  std::array<int, 3> hiddenStems{};  // 本気 first
  std::array<TenGod, 3> hiddenTenGods{};
  std::optional<TwelveStage> stage;  // 十二運 of the branch
  int nayin = -1;                    // 0..29 into NayinNames; -1 when unknown
  bool inDayVoid = false;            // the branch is one of the day's 空亡
};

// One year of the yearly luck.
struct YearLuck {
  int year = 0;   // calendar year; its pillar holds from that year's 立春
  int index = 0;  // sexagenary index of the year's pillar
  TenGod tenGod{};
  TwelveStage stage{};
  int age = 0;           // 満年齢 reached in that year
  bool current = false;  // the calendar year of "now"
};

struct Reading {
  bool hourKnown = false;
  int dayMaster = 0;  // the day stem (日主), 1..10; 0 for a chart with no valid day
  std::array<PillarReading, PillarCount> pillars{};
  std::array<int, 2> dayVoid{}, yearVoid{};  // branch numbers of the 空亡
  // By Element: the eight characters (six when the hour is unknown), and the
  // same with the 本気 of each known branch added.
  std::array<int, 5> elementCounts{}, elementCountsWithMainHidden{};
  int yang = 0, yin = 0;  // polarity of the same characters
  int luckColumn = 0;     // great-luck column of the years, 0..10
  int yearCount = 0;
  std::array<YearLuck, MaxLuckYears> years{};
};

// Reads a chart. birthYear is the entered (clock) year of birth; now is the
// moment the chart was computed for, which marks the current year. The
// years are those of the chart's current great-luck column, or of column 0
// when no column holds today.
Reading Read(const chart::ChartResult& chart, int birthYear, const chart::LocalTime& now);

// The table look-ups. Stems 1..10, branches 1..12, sexagenary indices 1..60;
// the caller keeps to these ranges.
TenGod TenGodOf(int dayStem, int stem);
TwelveStage TwelveStageOf(int stem, int branch);
std::array<int, 2> VoidBranchesOf(int sexagenaryIndex);
int NayinOf(int sexagenaryIndex);  // 0..29 into NayinNames

// Sexagenary index of a stem and a branch, or 0 when they are out of range
// or of different polarity (no such pillar).
int SexagenaryIndex(int stem, int branch);

}  // namespace torvela::reading
