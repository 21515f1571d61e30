// Number reading and number texts shared by the calculation, the chart and
// the windows.
#include "calc/Numeric.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace torvela {

double Int(double x) { return std::floor(x); }
double Fix(double x) { return std::trunc(x); }

int CyclicMod(std::int64_t n, int m) {
  if (m <= 0) return 0;
  std::int64_t r = n % m;
  if (r < 0) r += m;
  return r == 0 ? m : static_cast<int>(r);
}

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
    } else if (text.substr(i, 3) == "\xE3\x80\x80") {  // U+3000 ideographic space
      i += 3;
    } else {
      break;
    }
  }
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  bool dot = false;
  bool digit = false;
  while (i < n) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !dot) {
      dot = true;
    } else {
      break;
    }
    ++i;
  }
  if (!digit) return 0.0;
  double value = 0;
  const auto ec = std::from_chars(text.data() + start, text.data() + i, value).ec;
  // A digit run beyond the range of a double (hundreds of digits) reads as 0,
  // like a text without a number, rather than as an infinity.
  if (ec != std::errc()) value = 0;
  return negative ? -value : value;
}

std::string WholeText(std::int64_t n) { return std::to_string(n); }

namespace {

std::string NonFiniteText(double x) {
  if (std::isnan(x)) return "NaN";
  return x < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

// Number texts go through std::to_chars: snprintf would write the decimal
// point of the user's locale once the windows have set it (a comma, or two
// bytes in some), and the texts must read the same everywhere.
std::string GeneralText(double x) {
  if (!std::isfinite(x)) return NonFiniteText(x);
  if (x == 0) return "0";
  char buf[40];
  const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15).ptr;
  std::string s(buf, end);
  for (char& c : s) {
    if (c == 'e') c = 'E';
  }
  return s;
}

std::string OneDecimalText(double x) {
  if (!std::isfinite(x)) return NonFiniteText(x);
  // The 15 significant digits as written, then decimal rounding on those
  // digits, so 28.25 (stored as 28.249999...) reads "28.3".
  char buf[40];
  const auto end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14).ptr;
  const std::string s(buf, end);  // "d.dddddddddddddde+XX"
  const bool negative = s[0] == '-';
  const std::size_t lead = negative ? 1 : 0;
  std::string digits;
  digits += s[lead];
  digits += s.substr(lead + 2, 14);
  std::size_t e = s.find('e') + 1;
  if (s[e] == '+') ++e;  // from_chars takes a minus but no plus
  int exponent = 0;
  std::from_chars(s.data() + e, s.data() + s.size(), exponent);
  int point = exponent + 1;  // digits before the decimal point
  if (point < 1) {
    digits.insert(0, static_cast<std::size_t>(1 - point), '0');
    point = 1;
  }
  if (static_cast<int>(digits.size()) < point + 2) {
    digits.append(static_cast<std::size_t>(point + 2) - digits.size(), '0');
  }
  std::string kept = digits.substr(0, static_cast<std::size_t>(point) + 1);
  if (digits[static_cast<std::size_t>(point) + 1] >= '5') {
    int k = static_cast<int>(kept.size()) - 1;
    while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9') {
      kept[static_cast<std::size_t>(k)] = '0';
      --k;
    }
    if (k >= 0) {
      ++kept[static_cast<std::size_t>(k)];
    } else {
      kept.insert(0, 1, '1');
    }
  }
  std::string whole = kept.substr(0, kept.size() - 1);
  const std::size_t nz = whole.find_first_not_of('0');
  whole = nz == std::string::npos ? "0" : whole.substr(nz);
  std::string out = whole + "." + kept.back();
  // A value that rounds to zero shows without a sign.
  if (negative && out != "0.0") out.insert(0, 1, '-');
  return out;
}

}  // namespace torvela
