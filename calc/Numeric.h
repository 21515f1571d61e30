// Small numeric and text helpers shared by the calculation, the chart and
// the windows. Each conversion the program shows or reads has its one home here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace torvela {

// Floor: the largest whole number not above x (Int(-0.5) = -1).
double Int(double x);
// Truncation toward zero (Fix(-0.5) = -0).
double Fix(double x);

// Remainder of n by m (m > 0) read cyclically: 1..m, a remainder of 0 reads
// as m. Negative n wrap the same way (n = -1, m = 12 gives 11).
int CyclicMod(std::int64_t n, int m);

// The longest leading decimal number of a typed or picked text: leading
// blanks (ASCII and ideographic) skipped, an optional sign, digits with at
// most one decimal point. A text without one gives 0. A leading minus is
// kept even on zero ("-0" gives -0.0, so std::signbit tells west from east).
// A digit run beyond the range of a double reads as 0 too.
double LeadingNumber(std::string_view text);

// Whole number as plain decimal text: "1975", "-13", "0".
std::string WholeText(std::int64_t n);

// General text of a double: up to 15 significant digits, "." as decimal
// point whatever the locale, no trailing zeros, no exponent for ordinary magnitudes ("280.374094",
// "0", "-0.5").
std::string GeneralText(double x);

// The "0.0" / "#0.0" pattern: at least one integer digit, "." and one decimal,
// rounded half away from zero on the value as written with 15 significant
// digits (28.25 -> "28.3", 0.15 -> "0.2", 59.96 -> "60.0"); a negative value
// that rounds to zero shows as "0.0".
std::string OneDecimalText(double x);

}  // namespace torvela
