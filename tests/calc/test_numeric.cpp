// Reading typed numbers and writing number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "calc/Numeric.h"

namespace torvela {
namespace {

TEST(CyclicMod, ZeroReadsAsTheTop) {
  EXPECT_EQ(CyclicMod(60, 60), 60);
  EXPECT_EQ(CyclicMod(61, 60), 1);
  EXPECT_EQ(CyclicMod(0, 12), 12);
  EXPECT_EQ(CyclicMod(-1, 12), 11);
  EXPECT_EQ(CyclicMod(-12, 12), 12);
  EXPECT_EQ(CyclicMod(INT64_MIN, 7), CyclicMod(INT64_MIN % 7 + 7, 7));
}

TEST(LeadingNumber, Table) {
  struct Case {
    const char* text;
    double value;
  } const cases[] = {
      {"12", 12},        {"  -3.5分", -3.5}, {"+7", 7},          {".5", 0.5},
      {"5.", 5},         {"1.2.3", 1.2},    {"19abc", 19},      {"abc", 0},
      {"", 0},           {"-", 0},          {"-.", 0},          {"- 5", 0},
      {"\t 42", 42},     {"　　8", 8},      {"　-2.25秒", -2.25}, {"1e5", 1},
      {"１２", 0},       {"007", 7},        {"--1", 0},         {"135.0", 135},
  };
  for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(LeadingNumber, MinusZeroKeepsItsSign) {
  EXPECT_TRUE(std::signbit(LeadingNumber("-0")));
  EXPECT_TRUE(std::signbit(LeadingNumber("-0.00")));
  EXPECT_FALSE(std::signbit(LeadingNumber("0")));
  EXPECT_FALSE(std::signbit(LeadingNumber("-x")));
}

TEST(LeadingNumber, SurvivesAnyBytes) {
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), 0.0);  // beyond a double
  EXPECT_EQ(LeadingNumber("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(LeadingNumber(std::string(100000, ' ') + "3"), 3.0);
  EXPECT_EQ(LeadingNumber(std::string("\xE3\x80", 2)), 0.0);  // cut-off ideographic space
  EXPECT_EQ(LeadingNumber(std::string_view("4\0" "5", 3)), 4.0);
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    std::string s(rng() % 40, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    const double v = LeadingNumber(s);
    EXPECT_TRUE(std::isfinite(v));
  }
}

TEST(GeneralText, Table) {
  struct Case {
    double value;
    const char* text;
  } const cases[] = {
      {280.374094888, "280.374094888"}, {0, "0"},      {-0.0, "0"},     {-0.5, "-0.5"},
      {135, "135"},                     {1975, "1975"}, {0.1 + 0.2, "0.3"},
      {139.691706, "139.691706"},       {-13.5, "-13.5"}, {1.0 / 3, "0.333333333333333"},
      {123456789012345, "123456789012345"}, {1e15, "1E+15"}, {1e-5, "1E-05"}, {0.0001, "0.0001"},
  };
  for (const auto& c : cases) EXPECT_EQ(GeneralText(c.value), c.text) << c.value;
}

TEST(OneDecimalText, Table) {
  struct Case {
    double value;
    const char* text;
  } const cases[] = {
      {28.25, "28.3"}, {0.15, "0.2"},   {59.96, "60.0"}, {59.94, "59.9"}, {0, "0.0"},
      {3.3, "3.3"},    {16.47, "16.5"}, {-28.25, "-28.3"}, {-2.04, "-2.0"}, {-0.04, "0.0"},
      {0.05, "0.1"},   {9.95, "10.0"},  {1234567.89, "1234567.9"}, {0.0449999, "0.0"},
      {1.05, "1.1"},   {2.675, "2.7"},  {1e-20, "0.0"}, {99999.95, "100000.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(OneDecimalText(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace torvela
