// What the reading shows, in Japanese, in one place for the detail window,
// the popup and the command line: the names of the stars, the headings of
// the table, and every cell of one reading as text.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "calc/Module2.h"
#include "reading/Reading.h"

namespace torvela::reading {

inline constexpr std::array<std::string_view, 10> TenGodNames = {
    "比肩", "劫財", "食神", "傷官", "偏財", "正財", "偏官", "正官", "偏印", "印綬"};
inline constexpr std::array<std::string_view, 12> TwelveStageNames = {
    "長生", "沐浴", "冠帯", "建禄", "帝旺", "衰", "病", "死", "墓", "絶", "胎", "養"};
inline constexpr std::array<std::string_view, 5> ElementNames = {"木", "火", "土", "金", "水"};

// Shown where a value is not known (the hour's column when the hour is "?").
inline constexpr std::string_view UnknownText = "□";
// Shown as the 通変星 of the day stem.
inline constexpr std::string_view DayMasterText = "日主";

// Columns of the table from left to right: 時・日・月・年.
inline constexpr std::array<Pillar, PillarCount> DisplayOrder = {Hour, Day, Month, Year};
// Column headings, indexed by Pillar.
inline constexpr std::array<std::string_view, PillarCount> PillarHeadings = {"年柱", "月柱", "日柱",
                                                                             "時柱"};

// Rows of the table, top to bottom.
enum class Row : int { TenGod, Stem, Branch, Hidden, HiddenTenGod, Stage, Nayin };
inline constexpr int RowCount = 7;
inline constexpr std::array<std::string_view, RowCount> RowHeadings = {
    "通変星", "天干", "地支", "蔵干", "蔵干通変星", "十二運", "納音"};

// Other headings and captions.
inline constexpr std::string_view DetailTitle = "命式詳細";
inline constexpr std::string_view VoidHeading = "空亡";
inline constexpr std::string_view VoidMark = "空亡";  // beside a branch in the day's 空亡
inline constexpr std::string_view DayVoidHeading = "日柱空亡";
inline constexpr std::string_view YearVoidHeading = "年柱空亡";
inline constexpr std::string_view ElementHeading = "五行";
inline constexpr std::string_view EightCharactersCaption = "八字";
inline constexpr std::string_view WithMainHiddenCaption = "本気含む";
inline constexpr std::string_view YinYangHeading = "陰陽";
inline constexpr std::string_view YangText = "陽";
inline constexpr std::string_view YinText = "陰";
inline constexpr std::string_view YearlyLuckHeading = "年運";
inline constexpr std::array<std::string_view, 5> YearlyLuckColumns = {"年", "干支", "通変星",
                                                                      "十二運", "年齢"};

// A value for each pillar, indexed by Pillar.
template <typename T>
struct ByPillar {
  using value_type = T;
  std::array<T, PillarCount> of{};
  T& operator[](Pillar p) { return of[p]; }
  const T& operator[](Pillar p) const { return of[p]; }
};

// A count for each element, indexed by Element.
struct ElementTally {
  std::array<int, 5> of{};
  int operator[](Element e) const { return of[static_cast<int>(e)]; }
};

struct YinYangTally {
  int yang = 0, yin = 0;
};

// The 空亡 of the day and the year pillars, two branch names each ("戌亥").
struct VoidTexts {
  std::string day, year;
};

struct YearLuckTexts {
  int year = 0;
  std::string pillar;  // "甲辰"
  std::string tenGod, twelveStage;
  int age = 0;
  bool current = false;
};

struct YearlyLuckTexts {
  int column = 0;  // great-luck column the years belong to
  std::vector<YearLuckTexts> years;
};

// One reading as shown. An unknown pillar shows UnknownText in each cell
// (its hidden stems a list of that one text); the day's 通変星 is
// DayMasterText.
struct ReadingTexts {
  std::string dayMaster;
  ByPillar<std::string> stems, branches, tenGods;
  ByPillar<std::vector<std::string>> hiddenStems, hiddenStemTenGods;
  ByPillar<std::string> twelveStages, nayin;
  VoidTexts voidBranches;
  ByPillar<bool> inDayVoid;
  ElementTally elementCounts, elementCountsWithMainHiddenStems;
  YinYangTally yinYang;
  YearlyLuckTexts yearlyLuck;
};

// Stem and branch names come from tables' name tables, as the chart's do.
ReadingTexts MakeReadingTexts(const Reading& reading, const Tables& tables);

// "2024年", "40歳": the year and age cells of the yearly luck.
std::string YearText(int year);
std::string AgeText(int age);
// "年運（33〜42歳）": the heading of the yearly luck with its ages.
std::string YearlyLuckTitle(const YearlyLuckTexts& luck);
// "陽5・陰3".
std::string YinYangText(const YinYangTally& tally);

}  // namespace torvela::reading
