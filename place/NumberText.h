// Numbers typed with a Japanese input method, read as their half-width
// forms. QtCore only, so that torvela-cli can read its arguments the same way.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace torvela {

// The half-width form of a typed number: Unicode NFKC ("－１３" -> "-13",
// "１２．５" -> "12.5", "＋７" -> "+7", the ideographic space -> " "), and a
// leading minus typed as U+2212 MINUS SIGN or as the long-vowel mark "ー" (what
// the minus key gives while kana input is on) -> "-" when a digit or point
// follows. ASCII text comes back unchanged, so it reads exactly as before.
QString HalfWidthNumberText(const QString& typed);

// The same for UTF-8 text (invalid bytes become U+FFFD, which no number
// starts with).
std::string HalfWidthNumberText(std::string_view utf8);

}  // namespace torvela
