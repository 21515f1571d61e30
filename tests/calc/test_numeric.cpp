// Reading typed numbers and writing number texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "calc/Numeric.h"
#include "tests/LocaleSupport.h"

namespace torvela {
namespace {

// The texts as printf wrote them before std::to_chars, in the C locale: the
// reference the new ones must match byte for byte.
std::string PrintfGeneralText(double x) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  std::string s = x == 0 ? "0" : buf;
  std::replace(s.begin(), s.end(), 'e', 'E');
  return s;
}

// One decimal of the 15 significant digits "%.14e" gives, rounded half away
// from zero on those digits.
std::string PrintfOneDecimalText(double x) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
  std::string digits = buf[0] + std::string(buf + 2, 14);
  int point = std::atoi(std::strchr(buf, 'e') + 1) + 1;  // digits before the decimal point
  if (point < 1) digits.insert(0, static_cast<std::size_t>(1 - point), '0'), point = 1;
  const auto p = static_cast<std::size_t>(point);
  digits.resize(std::max(digits.size(), p + 2), '0');
  std::string kept = digits.substr(0, p + 1);
  if (digits[p + 1] >= '5') {
    std::size_t k = kept.size();
    while (k > 0 && kept[k - 1] == '9') kept[--k] = '0';
    if (k > 0) ++kept[k - 1]; else kept.insert(0, 1, '1');
  }
  const std::size_t lead = std::min(kept.find_first_not_of('0'), kept.size() - 2);
  const std::string out = kept.substr(lead, kept.size() - 1 - lead) + "." + kept.back();
  return std::signbit(x) && out != "0.0" ? "-" + out : out;
}

// Values of every kind the texts meet: ties of the one-decimal rounding
// (x.x5 and binary halves), both signs, every magnitude, random bit
// patterns down to subnormals, and the edges of the general text's
// exponent form.
std::vector<double> ManyValues() {
  std::vector<double> v{0.0,     -0.0,     1e15,    999999999999999.0, 1e16, 1e-4, 1e-5, 9.9999999999999995e-5,
                        DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN,      0.05, 0.15, 0.25, 59.95, 59.949999999999996};
  std::mt19937_64 rng(20261207);
  std::uniform_int_distribution<int> exponent(-30, 30);
  std::uniform_real_distribution<double> unit(1, 10);
  while (v.size() < 100000) {
    const double sign = rng() & 1 ? -1.0 : 1.0;
    const std::uint64_t kind = rng() % 5, bits = kind == 4 ? rng() : 0;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (kind == 0) x = sign * double(rng() % 2000000) / 20;    // n.n5 ties
    if (kind == 1) x = sign * double(rng() % 20000000) / 1024; // binary fractions
    if (kind == 2) x = sign * unit(rng) * std::pow(10.0, exponent(rng));
    if (kind == 3) x = sign * (double(rng() % 100000) + double(rng() % 1000) / 1000);
    if (std::isfinite(x)) v.push_back(x);
  }
  return v;
}

TEST(CyclicMod, ZeroReadsAsTheTop) {
  const std::int64_t cases[][3] = {
      {60, 60, 60}, {61, 60, 1}, {0, 12, 12}, {-1, 12, 11}, {-12, 12, 12}};
  for (const auto& c : cases) EXPECT_EQ(CyclicMod(c[0], int(c[1])), c[2]) << c[0] << " " << c[1];
  EXPECT_EQ(CyclicMod(INT64_MIN, 7), CyclicMod(INT64_MIN % 7 + 7, 7));
}

TEST(LeadingNumber, Table) {
  const std::pair<std::string, double> cases[] = {
      {"12", 12}, {"  -3.5分", -3.5}, {"+7", 7}, {".5", 0.5}, {"5.", 5}, {"1.2.3", 1.2},
      {"19abc", 19}, {"abc", 0}, {"", 0}, {"-", 0}, {"-.", 0}, {"- 5", 0}, {"\t 42", 42},
      {"　　8", 8}, {"　-2.25秒", -2.25}, {"1e5", 1}, {"１２", 0}, {"007", 7}, {"--1", 0},
      {"-0", -0.0}, {"-0.00", -0.0}, {"0", 0}, {"-x", 0},
      {std::string(400, '9'), 0},  // beyond a double
      {"0." + std::string(400, '0') + "1", 0}, {std::string(100000, ' ') + "3", 3},
      {std::string("\xE3\x80", 2), 0},  // cut-off ideographic space
      {std::string("4\0" "5", 3), 4},
  };
  for (const auto& [text, value] : cases) {
    const double v = LeadingNumber(text);
    // "-0" keeps its sign: it tells west from east.
    EXPECT_TRUE(v == value && std::signbit(v) == std::signbit(value)) << text.substr(0, 20);
  }
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    std::string s(rng() % 40, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    EXPECT_TRUE(std::isfinite(LeadingNumber(s)));
  }
}

// Known texts, then every value of ManyValues against the printf versions.
TEST(NumberTexts, SameAsPrintfInTheCLocale) {
  const std::tuple<double, const char*, const char*> known[] = {  // (value, general, one decimal)
      {280.374094888, "280.374094888", "280.4"}, {-0.0, "0", "0.0"}, {-0.04, "-0.04", "0.0"},
      {0.1 + 0.2, "0.3", "0.3"}, {1.0 / 3, "0.333333333333333", "0.3"}, {28.25, "28.25", "28.3"},
      {-28.25, "-28.25", "-28.3"}, {0.15, "0.15", "0.2"}, {59.96, "59.96", "60.0"},
      {2.675, "2.675", "2.7"}, {99999.95, "99999.95", "100000.0"}, {1e-5, "1E-05", "0.0"},
      {1e15, "1E+15", "1000000000000000.0"}, {0.0001, "0.0001", "0.0"},
      {123456789012345, "123456789012345", "123456789012345.0"},
  };
  for (const auto& [value, general, oneDecimal] : known) {
    EXPECT_EQ(GeneralText(value) + " " + OneDecimalText(value),
              std::string(general) + " " + oneDecimal);
  }
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  int mismatches = 0;
  for (const double x : ManyValues()) {
    const std::string general = GeneralText(x), oneDecimal = OneDecimalText(x);
    const bool same = general == PrintfGeneralText(x) && oneDecimal == PrintfOneDecimalText(x);
    if (!same && ++mismatches <= 10)
      ADD_FAILURE() << PrintfGeneralText(x) << ": " << general << " / " << oneDecimal << ", printf "
                    << PrintfOneDecimalText(x);
  }
  EXPECT_EQ(mismatches, 0);
}

// The texts and the reading of typed numbers keep "." in locales with a
// comma or a two-byte decimal point, as the windows run once Qt has set the
// user's locale.
TEST(NumberTexts, LocaleFree) {
  std::vector<double> values = ManyValues();
  values.resize(20000);
  std::vector<std::string> expected;
  for (const double x : values) expected.push_back(GeneralText(x) + " " + OneDecimalText(x));
  int tested = 0;
  for (const char* name : {test::kCommaLocale, test::kTwoByteLocale}) {
    if (!test::MakeLocaleAvailable(name)) continue;
    ASSERT_TRUE(std::setlocale(LC_ALL, name));
    ASSERT_STRNE(std::localeconv()->decimal_point, ".");  // the locale is really in force
    ++tested;
    for (std::size_t i = 0; i < values.size(); ++i)
      ASSERT_EQ(GeneralText(values[i]) + " " + OneDecimalText(values[i]), expected[i]) << name;
    EXPECT_EQ(LeadingNumber("12.5"), 12.5) << name;
    EXPECT_EQ(LeadingNumber("-13,5"), -13) << name;
    std::setlocale(LC_ALL, "C");
  }
  if (tested == 0) GTEST_SKIP() << "no locale with another decimal point could be made";
}

}  // namespace
}  // namespace torvela
