#include "tables/storage/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tables {
namespace {

TEST(XbParseNumber, ReadsStoredNumbers) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"   12.50  ", 12.5},
               {"", 0},
               {"      ", 0},
               {" -5", -5},
               {"+3", 3},
               {".5", 0.5},
               {"1.", 1},
               {"1e3", 1000},
               // only the first 31 characters count
               {"1234567890123456789012345678901X", 1234567890123456789012345678901.0}};
  for (const Case& c : cases) {
    double value = -1;
    EXPECT_TRUE(XbParseNumber(c.text, value)) << c.text;
    EXPECT_DOUBLE_EQ(value, c.value) << c.text;
  }
}

TEST(XbParseNumber, RefusesWhatIsNoNumber) {
  for (const char* text : {"abc", "1 2", "inf", "nan", "-", "1,5", "12a", "*****"}) {
    double value = 0;
    EXPECT_FALSE(XbParseNumber(text, value)) << text;
  }
}

std::string Format(double value, int width, int decimals) {
  std::string text(static_cast<std::size_t>(width), '#');
  if (!XbFormatNumber(value, width, decimals, reinterpret_cast<std::uint8_t*>(text.data()))) {
    return "refused";
  }
  return text;
}

TEST(XbFormatNumber, RightAlignsFixedPointText) {
  EXPECT_EQ(Format(0, 5, 2), " 0.00");
  EXPECT_EQ(Format(12.5, 4, 0), "  13");
  EXPECT_EQ(Format(-12.5, 4, 0), " -13");
  EXPECT_EQ(Format(0.125, 5, 2), " 0.13");
  EXPECT_EQ(Format(-0.001, 5, 2), " 0.00");
  EXPECT_EQ(Format(123, 3, 0), "123");
}

TEST(XbFormatNumber, RefusesWhatDoesNotFit) {
  EXPECT_EQ(Format(1234, 3, 0), "refused");
  EXPECT_EQ(Format(1, 3, 2), "refused");
  EXPECT_EQ(Format(std::nan(""), 10, 0), "refused");
  EXPECT_EQ(Format(HUGE_VAL, 10, 0), "refused");
}

}  // namespace
}  // namespace tables
