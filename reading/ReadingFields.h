// Every field of a reading named once, for the JSON writer and any other
// walker. f is called as f(key, field) with the field by reference. A field
// is a std::string, int or bool, a std::vector of std::string, a
// std::vector of records, or a record itself: a type for which ForEachField
// is defined below (the Record concept), to be walked the same way and
// written as a nested object.
//
// Keys, values as the window shows them:
//   dayMaster                          "甲": the day stem (日主)
//   stems, branches                    天干, 地支 of each pillar ("□" unknown)
//   tenGods                            通変星 of each stem; the day's is "日主"
//   hiddenStems                        蔵干 of each branch, 本気 first
//   hiddenStemTenGods                  通変星 of those hidden stems, in step
//   twelveStages                       十二運 of each branch
//   nayin                              納音 of each pillar
//   voidBranches                       {day, year}: 空亡 of those pillars, "戌亥"
//   inDayVoid                          whether each branch is in the day's 空亡
//   elementCounts                      {wood, fire, earth, metal, water}: 五行
//                                      of the eight characters (six, hour unknown)
//   elementCountsWithMainHiddenStems   the same with each branch's 本気 added
//   yinYang                            {yang, yin}: 陰陽 of the same characters
//   yearlyLuck                         {column, years: [{year, pillar, tenGod,
//                                      twelveStage, age, current}]}: 年運 of the
//                                      great-luck column that holds today
// The per-pillar fields are objects {year, month, day, hour}.
#pragma once

#include <type_traits>

#include "reading/ReadingTexts.h"

namespace torvela::reading {

template <typename P, typename F>
  requires std::is_same_v<std::remove_const_t<P>, ByPillar<typename P::value_type>>
void ForEachField(P& p, F&& f) {
  f("year", p.of[Year]);
  f("month", p.of[Month]);
  f("day", p.of[Day]);
  f("hour", p.of[Hour]);
}

template <typename T, typename F>
  requires std::is_same_v<std::remove_const_t<T>, ElementTally>
void ForEachField(T& t, F&& f) {
  f("wood", t.of[static_cast<int>(Element::Wood)]);
  f("fire", t.of[static_cast<int>(Element::Fire)]);
  f("earth", t.of[static_cast<int>(Element::Earth)]);
  f("metal", t.of[static_cast<int>(Element::Metal)]);
  f("water", t.of[static_cast<int>(Element::Water)]);
}

template <typename T, typename F>
  requires std::is_same_v<std::remove_const_t<T>, YinYangTally>
void ForEachField(T& t, F&& f) {
  f("yang", t.yang);
  f("yin", t.yin);
}

template <typename T, typename F>
  requires std::is_same_v<std::remove_const_t<T>, VoidTexts>
void ForEachField(T& t, F&& f) {
  f("day", t.day);
  f("year", t.year);
}

template <typename T, typename F>
  requires std::is_same_v<std::remove_const_t<T>, YearLuckTexts>
void ForEachField(T& t, F&& f) {
  f("year", t.year);
  f("pillar", t.pillar);
  f("tenGod", t.tenGod);
  f("twelveStage", t.twelveStage);
  f("age", t.age);
  f("current", t.current);
}

template <typename T, typename F>
  requires std::is_same_v<std::remove_const_t<T>, YearlyLuckTexts>
void ForEachField(T& t, F&& f) {
  f("column", t.column);
  f("years", t.years);
}

// The reading's top-level fields. Texts is ReadingTexts or const ReadingTexts.
template <typename Texts, typename F>
  requires std::is_same_v<std::remove_const_t<Texts>, ReadingTexts>
void ForEachReadingField(Texts& t, F&& f) {
  f("dayMaster", t.dayMaster);
  f("stems", t.stems);
  f("branches", t.branches);
  f("tenGods", t.tenGods);
  f("hiddenStems", t.hiddenStems);
  f("hiddenStemTenGods", t.hiddenStemTenGods);
  f("twelveStages", t.twelveStages);
  f("nayin", t.nayin);
  f("voidBranches", t.voidBranches);
  f("inDayVoid", t.inDayVoid);
  f("elementCounts", t.elementCounts);
  f("elementCountsWithMainHiddenStems", t.elementCountsWithMainHiddenStems);
  f("yinYang", t.yinYang);
  f("yearlyLuck", t.yearlyLuck);
}

template <typename Texts, typename F>
  requires std::is_same_v<std::remove_const_t<Texts>, ReadingTexts>
void ForEachField(Texts& t, F&& f) {
  ForEachReadingField(t, f);
}

namespace detail {
struct IgnoreField {
  template <typename V>
  void operator()(const char*, V&) const {}
};
}  // namespace detail

// A type whose fields ForEachField walks: written as a nested object.
template <typename T>
concept Record = requires(T& t) { ForEachField(t, detail::IgnoreField{}); };

}  // namespace torvela::reading
