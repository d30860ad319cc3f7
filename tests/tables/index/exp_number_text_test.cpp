// Text-to-float reading and the shortest text of a number.
#include <gtest/gtest.h>

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

TEST(ShortestNumberText, RoundTrips) {
  EXPECT_EQ(ShortestNumberText(1.5), "1.5");
  EXPECT_EQ(ShortestNumberText(0.1), "0.1");
  EXPECT_EQ(ShortestNumberText(1e100), "1e+100");
}

}  // namespace
}  // namespace tables
