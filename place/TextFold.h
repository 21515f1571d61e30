// Folding of names, readings and rōmaji so that what is typed compares with
// what the gazetteer holds: the same keys for both sides.
#pragma once

#include <QStringView>
#include <optional>
#include <string>

namespace torvela::place {

// NFKC (full- and half-width forms alike), lower case, katakana as hiragana;
// ヶ and ヵ as け and か, so 鶴ヶ島 and 鶴ケ島 are one name.
std::u16string FoldText(QStringView text);

// Rōmaji as compared: letters only, marks dropped (ō → o), long vowels as one
// (oo, ou → o; uu → u), m before b, m, p as n, cch as tch. Hyphens,
// apostrophes and spaces are dropped. Empty optional when text has anything
// else (kana, kanji, digits), so it is not rōmaji at all.
std::optional<std::u16string> RomajiKey(QStringView text);

}  // namespace torvela::place
