// LeadingNumber over arbitrary text, and the two number texts the chart
// shows over arbitrary doubles.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "calc/Numeric.h"
#include "fuzz/Checks.h"

namespace {

bool Same(double a, double b) {
  return a == b && std::signbit(a) == std::signbit(b);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void CheckLeadingNumber(std::string_view text) {
  using torvela::LeadingNumber;
  const double v = LeadingNumber(text);
  FUZZ_CHECK(std::isfinite(v));
  // Text after the number never changes it, nor do blanks before it.
  FUZZ_CHECK(Same(LeadingNumber(std::string(text) + "x1"), v));
  FUZZ_CHECK(Same(LeadingNumber(" \t\xE3\x80\x80" + std::string(text)), v));
  // A sign before a number negates it; before no number it changes nothing.
  const bool startsWithNumber =
      !text.empty() &&
      (IsDigit(text[0]) || (text.size() > 1 && text[0] == '.' && IsDigit(text[1])));
  if (startsWithNumber) {
    FUZZ_CHECK(Same(LeadingNumber("-" + std::string(text)), -v));
    FUZZ_CHECK(Same(LeadingNumber("+" + std::string(text)), v));
  }
  if (text.find_first_of("0123456789") == std::string_view::npos) FUZZ_CHECK(v == 0);

  // A text that is nothing but digits with at most one point reads as the
  // C library reads it, unless it is out of range.
  const std::size_t dots = static_cast<std::size_t>(std::count(text.begin(), text.end(), '.'));
  if (!text.empty() && dots <= 1 && text.find_first_of("0123456789") != std::string_view::npos &&
      text.find_first_not_of("0123456789.") == std::string_view::npos) {
    const std::string s(text);
    errno = 0;
    const double c = std::strtod(s.c_str(), nullptr);
    if (errno == 0 && std::isfinite(c)) FUZZ_CHECK(v == c);
  }
}

// "0.0": optional minus, digits, one decimal; within half a tenth of x.
void CheckOneDecimal(double x) {
  const std::string s = torvela::OneDecimalText(x);
  std::size_t i = s[0] == '-' ? 1 : 0;
  const std::size_t digits = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  FUZZ_CHECK(i > digits);
  FUZZ_CHECK(i + 2 == s.size() && s[i] == '.' && IsDigit(s[i + 1]));
  FUZZ_CHECK(s != "-0.0");
  if (std::fabs(x) < 1e12) {
    const double back = std::strtod(s.c_str(), nullptr);
    FUZZ_CHECK(std::fabs(back - x) <= 0.05 + std::fabs(x) * 1e-14);
  }
}

// The general text: no grouping, reads back to x at 15 significant digits.
void CheckGeneral(double x) {
  const std::string s = torvela::GeneralText(x);
  FUZZ_CHECK(!s.empty() && s.find(',') == std::string::npos && s.find(' ') == std::string::npos);
  // Read back in long double: 15 digits of DBL_MAX round past it.
  char* end = nullptr;
  const long double back = std::strtold(s.c_str(), &end);
  FUZZ_CHECK(end == s.c_str() + s.size());
  FUZZ_CHECK(std::fabs(back - x) <= std::fabs(static_cast<long double>(x)) * 1e-14L);
  if (x == std::trunc(x) && std::fabs(x) < 1e15) FUZZ_CHECK(s.find('.') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckLeadingNumber(text);
  const double v = torvela::LeadingNumber(text);
  CheckOneDecimal(v);
  CheckGeneral(v);
  if (size >= sizeof(double)) {
    double x;
    std::memcpy(&x, data, sizeof x);
    if (std::isfinite(x)) {
      CheckOneDecimal(x);
      CheckGeneral(x);
    }
  }
  return 0;
}
