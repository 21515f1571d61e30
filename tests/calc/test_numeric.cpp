// Reading typed numbers and writing number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "calc/Numeric.h"

namespace torvela {
namespace {

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

TEST(NumberTexts, GeneralAndOneDecimal) {
  const std::pair<double, const char*> general[] = {
      {280.374094888, "280.374094888"}, {0, "0"}, {-0.0, "0"}, {-0.5, "-0.5"}, {1975, "1975"},
      {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"}, {123456789012345, "123456789012345"},
      {1e15, "1E+15"}, {1e-5, "1E-05"}, {0.0001, "0.0001"},
  };
  for (const auto& [value, text] : general) EXPECT_EQ(GeneralText(value), text) << value;
  const std::pair<double, const char*> oneDecimal[] = {
      {28.25, "28.3"}, {0.15, "0.2"}, {59.96, "60.0"}, {59.94, "59.9"}, {0, "0.0"},
      {-28.25, "-28.3"}, {-2.04, "-2.0"}, {-0.04, "0.0"}, {0.05, "0.1"}, {9.95, "10.0"},
      {1234567.89, "1234567.9"}, {0.0449999, "0.0"}, {1.05, "1.1"}, {2.675, "2.7"}, {1e-20, "0.0"},
      {99999.95, "100000.0"},
  };
  for (const auto& [value, text] : oneDecimal) EXPECT_EQ(OneDecimalText(value), text) << value;
}

}  // namespace
}  // namespace torvela
