// The tables of the reading, each written once as data. Stems are numbered
// 1 = 甲 .. 10 = 癸 and branches 1 = 子 .. 12 = 亥, as in the chart; the
// tables below are indexed from 0 (row stem - 1, column branch - 1).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace torvela::reading {

// The five elements in the order of production: each produces the next
// (木 → 火 → 土 → 金 → 水 → 木) and controls the one after that.
enum class Element : std::uint8_t { Wood, Fire, Earth, Metal, Water };

// 通変星 in their usual order: 比肩 劫財 食神 傷官 偏財 正財 偏官 正官 偏印 印綬.
enum class TenGod : std::uint8_t {
  Hiken, Kouzai, Shokujin, Shoukan, Henzai, Seizai, Henkan, Seikan, Hennin, Injyu
};

// 十二運 in cycle order: 長生 沐浴 冠帯 建禄 帝旺 衰 病 死 墓 絶 胎 養.
enum class TwelveStage : std::uint8_t {
  Chousei, Mokuyoku, Kantai, Kenroku, Teiou, Sui, Byou, Shi, Bo, Zetsu, Tai, You
};

// Stem numbers by their Japanese readings, for writing tables of stems.
namespace stem {
inline constexpr int Kinoe = 1, Kinoto = 2, Hinoe = 3, Hinoto = 4, Tsuchinoe = 5,
                     Tsuchinoto = 6, Kanoe = 7, Kanoto = 8, Mizunoe = 9, Mizunoto = 10;
}  // namespace stem

// Element and polarity of the stems 甲 .. 癸.
inline constexpr std::array<Element, 10> StemElement = {
    Element::Wood,  Element::Wood,  Element::Fire,  Element::Fire,  Element::Earth,
    Element::Earth, Element::Metal, Element::Metal, Element::Water, Element::Water};
inline constexpr std::array<bool, 10> StemIsYang = {true, false, true, false, true,
                                                    false, true, false, true, false};

// Element and polarity of the branches 子 .. 亥.
inline constexpr std::array<Element, 12> BranchElement = {
    Element::Water, Element::Earth, Element::Wood,  Element::Wood,  Element::Earth, Element::Fire,
    Element::Fire,  Element::Earth, Element::Metal, Element::Metal, Element::Earth, Element::Water};
inline constexpr std::array<bool, 12> BranchIsYang = {true, false, true, false, true, false,
                                                      true, false, true, false, true, false};

// 通変星 of a stem (column 甲 .. 癸) seen from the day stem (row 甲 .. 癸).
inline constexpr std::array<std::array<TenGod, 10>, 10> TenGodTable = [] {
  using enum TenGod;
  return std::array<std::array<TenGod, 10>, 10>{{
      //       甲        乙        丙        丁        戊        己        庚        辛        壬        癸
      /* 甲 */ {Hiken,    Kouzai,   Shokujin, Shoukan,  Henzai,   Seizai,   Henkan,   Seikan,   Hennin,   Injyu},
      /* 乙 */ {Kouzai,   Hiken,    Shoukan,  Shokujin, Seizai,   Henzai,   Seikan,   Henkan,   Injyu,    Hennin},
      /* 丙 */ {Hennin,   Injyu,    Hiken,    Kouzai,   Shokujin, Shoukan,  Henzai,   Seizai,   Henkan,   Seikan},
      /* 丁 */ {Injyu,    Hennin,   Kouzai,   Hiken,    Shoukan,  Shokujin, Seizai,   Henzai,   Seikan,   Henkan},
      /* 戊 */ {Henkan,   Seikan,   Hennin,   Injyu,    Hiken,    Kouzai,   Shokujin, Shoukan,  Henzai,   Seizai},
      /* 己 */ {Seikan,   Henkan,   Injyu,    Hennin,   Kouzai,   Hiken,    Shoukan,  Shokujin, Seizai,   Henzai},
      /* 庚 */ {Henzai,   Seizai,   Henkan,   Seikan,   Hennin,   Injyu,    Hiken,    Kouzai,   Shokujin, Shoukan},
      /* 辛 */ {Seizai,   Henzai,   Seikan,   Henkan,   Injyu,    Hennin,   Kouzai,   Hiken,    Shoukan,  Shokujin},
      /* 壬 */ {Shokujin, Shoukan,  Henzai,   Seizai,   Henkan,   Seikan,   Hennin,   Injyu,    Hiken,    Kouzai},
      /* 癸 */ {Shoukan,  Shokujin, Seizai,   Henzai,   Seikan,   Henkan,   Injyu,    Hennin,   Kouzai,   Hiken},
  }};
}();

// 蔵干 of each branch, 本気 first; 0 ends a shorter row.
inline constexpr std::array<std::array<int, 3>, 12> HiddenStemTable = [] {
  using namespace stem;
  return std::array<std::array<int, 3>, 12>{{
      /* 子 */ {Mizunoto, 0, 0},
      /* 丑 */ {Tsuchinoto, Mizunoto, Kanoto},
      /* 寅 */ {Kinoe, Hinoe, Tsuchinoe},
      /* 卯 */ {Kinoto, 0, 0},
      /* 辰 */ {Tsuchinoe, Kinoto, Mizunoto},
      /* 巳 */ {Hinoe, Kanoe, Tsuchinoe},
      /* 午 */ {Hinoto, Tsuchinoto, 0},
      /* 未 */ {Tsuchinoto, Hinoto, Kinoto},
      /* 申 */ {Kanoe, Mizunoe, Tsuchinoe},
      /* 酉 */ {Kanoto, 0, 0},
      /* 戌 */ {Tsuchinoe, Kanoto, Hinoto},
      /* 亥 */ {Mizunoe, Kinoe, 0},
  }};
}();

// 十二運 of a branch (column 子 .. 亥) for a stem (row 甲 .. 癸): yang stems
// run forward from their 長生 (甲 亥, 丙戊 寅, 庚 巳, 壬 申), yin stems
// backward (乙 午, 丁己 酉, 辛 子, 癸 卯).
inline constexpr std::array<std::array<TwelveStage, 12>, 10> TwelveStageTable = [] {
  using enum TwelveStage;
  return std::array<std::array<TwelveStage, 12>, 10>{{
      //       子        丑        寅        卯        辰        巳        午        未        申        酉        戌        亥
      /* 甲 */ {Mokuyoku, Kantai,   Kenroku,  Teiou,    Sui,      Byou,     Shi,      Bo,       Zetsu,    Tai,      You,      Chousei},
      /* 乙 */ {Byou,     Sui,      Teiou,    Kenroku,  Kantai,   Mokuyoku, Chousei,  You,      Tai,      Zetsu,    Bo,       Shi},
      /* 丙 */ {Tai,      You,      Chousei,  Mokuyoku, Kantai,   Kenroku,  Teiou,    Sui,      Byou,     Shi,      Bo,       Zetsu},
      /* 丁 */ {Zetsu,    Bo,       Shi,      Byou,     Sui,      Teiou,    Kenroku,  Kantai,   Mokuyoku, Chousei,  You,      Tai},
      /* 戊 */ {Tai,      You,      Chousei,  Mokuyoku, Kantai,   Kenroku,  Teiou,    Sui,      Byou,     Shi,      Bo,       Zetsu},
      /* 己 */ {Zetsu,    Bo,       Shi,      Byou,     Sui,      Teiou,    Kenroku,  Kantai,   Mokuyoku, Chousei,  You,      Tai},
      /* 庚 */ {Shi,      Bo,       Zetsu,    Tai,      You,      Chousei,  Mokuyoku, Kantai,   Kenroku,  Teiou,    Sui,      Byou},
      /* 辛 */ {Chousei,  You,      Tai,      Zetsu,    Bo,       Shi,      Byou,     Sui,      Teiou,    Kenroku,  Kantai,   Mokuyoku},
      /* 壬 */ {Teiou,    Sui,      Byou,     Shi,      Bo,       Zetsu,    Tai,      You,      Chousei,  Mokuyoku, Kantai,   Kenroku},
      /* 癸 */ {Kenroku,  Kantai,   Mokuyoku, Chousei,  You,      Tai,      Zetsu,    Bo,       Shi,      Byou,     Sui,      Teiou},
  }};
}();

// 空亡: the two branches each ten-day week (旬) leaves over, by week
// 甲子旬, 甲戌旬, 甲申旬, 甲午旬, 甲辰旬, 甲寅旬 (sexagenary 1-10, 11-20 .. 51-60).
inline constexpr std::array<std::array<int, 2>, 6> VoidBranchTable = {{
    /* 甲子旬 */ {11, 12},  // 戌亥
    /* 甲戌旬 */ {9, 10},   // 申酉
    /* 甲申旬 */ {7, 8},    // 午未
    /* 甲午旬 */ {5, 6},    // 辰巳
    /* 甲辰旬 */ {3, 4},    // 寅卯
    /* 甲寅旬 */ {1, 2},    // 子丑
}};

// 納音 of the thirty pairs of the cycle: sexagenary 1-2, 3-4 .. 59-60.
inline constexpr std::array<std::string_view, 30> NayinNames = {
    "海中金", "炉中火", "大林木", "路傍土", "剣鋒金", "山頭火", "澗下水", "城頭土",
    "白蝋金", "楊柳木", "井泉水", "屋上土", "霹靂火", "松柏木", "長流水", "砂中金",
    "山下火", "平地木", "壁上土", "金箔金", "覆燈火", "天河水", "大駅土", "釵釧金",
    "桑柘木", "大渓水", "砂中土", "天上火", "石榴木", "大海水"};

}  // namespace torvela::reading
