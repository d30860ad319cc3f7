// Text-to-float reading and fixed-point formatting.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

#include "tables/index/exp_number_text.hpp"

namespace tables {
namespace {

TEST(TextToFloat, ReadsTheNumberGrammar) {
  struct Row {
    const char* text;
    char separator;
    bool converts;
    double value;
  };
  const Row rows[] = {
      {"12", '.', true, 12},    {"  -3.5  ", '.', true, -3.5}, {"+7", '.', true, 7},
      {"1E3", '.', true, 1000}, {"2.5e-1", '.', true, 0.25},   {".5", '.', true, 0.5},
      {"5.", '.', true, 5},     {"12,5", ',', true, 12.5},     {"12.5", ',', false, 0},
      {"", '.', false, 0},      {"   ", '.', false, 0},        {"-", '.', false, 0},
      {".", '.', false, 0},     {"1E", '.', false, 0},         {"1E+", '.', false, 0},
      {"12abc", '.', false, 0}, {"1 2", '.', false, 0},        {"--1", '.', false, 0},
      {"1E999", '.', false, 0}, {"0x10", '.', false, 0},
  };
  for (const auto& row : rows) {
    double value = -99;
    EXPECT_EQ(TryTextToFloat(row.text, row.separator, value), row.converts) << row.text;
    if (row.converts) {
      EXPECT_EQ(value, row.value) << row.text;
    } else {
      EXPECT_EQ(value, -99) << row.text;
    }
  }
}

TEST(TextToFloat, ReadsLongDigitStrings) {
  std::string digits(300, '1');
  double value = 0;
  ASSERT_TRUE(TryTextToFloat(digits, '.', value));
  EXPECT_NEAR(value / 1.1111111111111111e299, 1.0, 1e-12);
}

TEST(FormatFixed, RoundsHalfAwayFromZeroOnTheShortestForm) {
  struct Row {
    double value;
    int decimals;
    const char* text;
  };
  const Row rows[] = {
      {0, 0, "0"},
      {0, 2, "0.00"},
      {-0.0, 1, "0.0"},
      {3.14159, 2, "3.14"},
      {2.5, 0, "3"},
      {-2.5, 0, "-3"},
      {0.125, 2, "0.13"},
      {2.675, 2, "2.68"},
      {0.15, 1, "0.2"},
      {9.995, 2, "10.00"},
      {99.5, 0, "100"},
      {0.04, 1, "0.0"},
      {0.06, 1, "0.1"},
      {-0.001, 2, "0.00"},
      {123456, 0, "123456"},
      {1e20, 0, "100000000000000000000"},
      {1.5e-7, 8, "0.00000015"},
      {1.5e-7, 12, "0.000000150000"},
      {123.25, 5, "123.25000"},
      {-9.995, 4, "-9.9950"},
      {12345.678, 2, "12345.68"},
      {7, -2, "7"},
  };
  for (const auto& row : rows) {
    std::string text = "stale";
    FormatFixed(row.value, row.decimals, text);
    EXPECT_EQ(text, row.text) << row.value << " with " << row.decimals;
  }
}

TEST(FormatFixed, MillionsOfDecimalsAreQuick) {
  std::string text;
  const auto start = std::chrono::steady_clock::now();
  FormatFixed(1.25, 60'000'000, text);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  ASSERT_EQ(text.size(), 60'000'002u);
  EXPECT_EQ(text.substr(0, 6), "1.2500");
  EXPECT_EQ(text.find_first_not_of('0', 4), std::string::npos);
}

TEST(FormatFixed, NamesNonFiniteValues) {
  std::string text;
  FormatFixed(std::numeric_limits<double>::infinity(), 2, text);
  EXPECT_EQ(text, "INF");
  FormatFixed(-std::numeric_limits<double>::infinity(), 2, text);
  EXPECT_EQ(text, "-INF");
  FormatFixed(std::nan(""), 2, text);
  EXPECT_EQ(text, "NAN");
}

TEST(ShortestNumberText, RoundTrips) {
  EXPECT_EQ(ShortestNumberText(1.5), "1.5");
  EXPECT_EQ(ShortestNumberText(0.1), "0.1");
  EXPECT_EQ(ShortestNumberText(1e100), "1e+100");
}

}  // namespace
}  // namespace tables
