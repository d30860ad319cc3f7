#include "tables/storage/number_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
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

// Stored numbers are read on a short path of their own; every value must be the one the general
// conversion gives, to the last bit, including the longest digit strings and the most decimals.
TEST(XbParseNumber, PlainDecimalsReadBitForBitAsTheGeneralConversion) {
  std::mt19937_64 draws(7);
  for (int i = 0; i < 200000; ++i) {
    const int length = 1 + static_cast<int>(draws() % 17);
    std::string text;
    for (int k = 0; k < length; ++k)
      text += static_cast<char>('0' + draws() % 10);
    text.insert(draws() % (text.size() + 1), ".");
    if (draws() % 2) text.insert(0, "-");
    double value = 0;
    ASSERT_TRUE(XbParseNumber(text, value)) << text;
    const double expected = std::strtod(text.c_str(), nullptr);
    ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text;
  }
}

TEST(XbParseNumber, SignsAndIntegersOnTheShortPath) {
  double value = 1;
  ASSERT_TRUE(XbParseNumber("     -0.00", value));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(std::signbit(value));
  ASSERT_TRUE(XbParseNumber("      0.00", value));
  EXPECT_FALSE(std::signbit(value));
  ASSERT_TRUE(XbParseNumber("  -1234567", value));
  EXPECT_EQ(value, -1234567);
  ASSERT_TRUE(XbParseNumber("999999999999999", value));
  EXPECT_EQ(value, 999999999999999.0);
  ASSERT_TRUE(XbParseNumber("  +42.", value));
  EXPECT_EQ(value, 42);
}

// Blanks in front are skipped eight at a time: runs that end inside, at and beyond a word,
// within the 31 characters read.
TEST(XbParseNumber, BlanksInFrontOfAnyLength) {
  for (std::size_t blanks = 0; blanks <= 30; ++blanks) {
    for (const char* number : {"7", "-12.5", "+.25"}) {
      if (blanks + std::strlen(number) > 31) continue;
      const std::string text = std::string(blanks, ' ') + number;
      double value = 0;
      ASSERT_TRUE(XbParseNumber(text, value)) << '[' << text << ']';
      EXPECT_EQ(value, std::strtod(number, nullptr)) << '[' << text << ']';
    }
    double value = 1;
    ASSERT_TRUE(XbParseNumber(std::string(blanks, ' '), value)) << blanks;
    EXPECT_EQ(value, 0) << blanks;
    if (blanks + 3 > 31) continue;
    EXPECT_FALSE(XbParseNumber(std::string(blanks, ' ') + "1 2", value)) << blanks;
    EXPECT_FALSE(XbParseNumber(std::string(blanks, ' ') + "x", value)) << blanks;
  }
}

TEST(XbParseNumber, RefusesWhatIsNoNumber) {
  for (const char* text :
       {"abc", "1 2", "inf", "nan", "-", "1,5", "12a", "*****", ".", "-.", "1.2.3", "..5"}) {
    double value = 0;
    EXPECT_FALSE(XbParseNumber(text, value)) << text;
  }
}

// Every number a field writes is read on the layout path, and gives exactly the value (sign of
// zero included) the general reading gives.
TEST(XbParseFieldLayout, ReadsWhatFieldsWriteAsTheGeneralReadingDoes) {
  std::mt19937_64 draws(11);
  for (int i = 0; i < 100000; ++i) {
    const int width = 1 + static_cast<int>(draws() % 16);
    const int decimals =
        width < 3 ? 0 : static_cast<int>(draws() % static_cast<unsigned>(width - 2));
    if (width - (decimals > 0 ? 1 : 0) > 15) continue;  // more digit places than a double holds
    const double scale = std::pow(10.0, static_cast<double>(draws() % 16));
    const double value = (static_cast<double>(draws() % 2000001) - 1000000.0) / scale;
    std::string text(static_cast<std::size_t>(width), '?');
    if (!XbFormatNumber(value, width, decimals, reinterpret_cast<std::uint8_t*>(text.data()))) {
      continue;
    }
    double layout = 7, general = 9;
    ASSERT_TRUE(XbParseFieldLayout(text, decimals, layout)) << '"' << text << '"';
    ASSERT_TRUE(XbParseNumber(text, general));
    ASSERT_EQ(std::memcmp(&layout, &general, sizeof layout), 0) << '"' << text << '"';
  }
  double negativeZero = 0;
  ASSERT_TRUE(XbParseFieldLayout("  -0.00", 2, negativeZero));
  EXPECT_TRUE(std::signbit(negativeZero));
}

// Anything else falls to the general reading: the layout path must never give a value for it,
// least of all a wrong one.
TEST(XbParseFieldLayout, RefusesEveryOtherLayout) {
  const struct {
    const char* text;
    int decimals;
  } refused[] = {{"          ", 2},
                 {"     12.5 ", 2},
                 {"    12.500", 2},
                 {"   -  1.00", 2},
                 {"  1 2.00", 2},
                 {"   +12.00", 2},
                 {"   12,50", 2},
                 {"  -.50", 2},
                 {"   .50", 2},
                 {"12-", 0},
                 {"--5", 0},
                 {"1e3", 0},
                 {"  12 ", 0},
                 {"", 0},
                 {"1234567890123456", 0},
                 {"123456789012345.6", 1},
                 {"12.5", -1},
                 {"5", 3}};
  for (const auto& c : refused) {
    double value = 42;
    EXPECT_FALSE(XbParseFieldLayout(c.text, c.decimals, value)) << '"' << c.text << '"';
    EXPECT_EQ(value, 42);
  }
  double value = 0;
  ASSERT_TRUE(XbParseFieldLayout("000000000000012", 0, value));
  EXPECT_EQ(value, 12);
  ASSERT_TRUE(XbParseFieldLayout("-99999999999999", 0, value));
  EXPECT_EQ(value, -99999999999999.0);
  ASSERT_TRUE(XbParseFieldLayout("0.000000000001", 12, value));
  EXPECT_EQ(value, 1e-12);
}

// Random bytes in a field: the layout path either refuses them or agrees with the general one.
TEST(XbParseFieldLayout, AgreesWithTheGeneralReadingOnAnyBytes) {
  std::mt19937_64 draws(5);
  constexpr char kCharacters[] = " -+.0123456789e\0   0123456789";
  const std::string alphabet(kCharacters, sizeof kCharacters - 1);
  int read = 0;
  for (int i = 0; i < 400000; ++i) {
    std::string text(1 + draws() % 17, ' ');
    for (char& c : text)
      c = alphabet[draws() % alphabet.size()];
    const int decimals = static_cast<int>(draws() % 6);
    double layout = 0, general = 0;
    if (!XbParseFieldLayout(text, decimals, layout)) continue;
    ++read;
    ASSERT_TRUE(XbParseNumber(text, general)) << '"' << text << '"';
    ASSERT_EQ(std::memcmp(&layout, &general, sizeof layout), 0) << '"' << text << '"';
  }
  EXPECT_GT(read, 1000);  // the layout path was taken often enough to mean something
}

// The places reading (point read as a 0 digit) takes exactly the texts the digits reading
// takes, and its integer is theirs with the integer part moved one place up.
TEST(XbReadFieldPlaces, TakesTheTextsOfTheDigitsReadingWithTheIntegerPartMovedUp) {
  std::mt19937_64 draws(23);
  constexpr char kCharacters[] = " -.0123456789x0123456789";
  const std::string alphabet(kCharacters, sizeof kCharacters - 1);
  int read = 0;
  for (int i = 0; i < 300000; ++i) {
    std::string text(1 + draws() % 17, ' ');
    for (char& c : text)
      c = alphabet[draws() % alphabet.size()];
    const int decimals = static_cast<int>(draws() % 5);
    XbFieldDigits digits, places;
    const bool digitsRead = XbReadFieldDigits(text, decimals, digits);
    ASSERT_EQ(XbReadFieldPlaces(text, decimals, places), digitsRead) << '"' << text << '"';
    if (!digitsRead) continue;
    ++read;
    std::uint64_t scale = 1;
    for (int d = 0; d < decimals; ++d)
      scale *= 10;
    const std::uint64_t moved =
        decimals == 0 ? digits.digits : digits.digits / scale * scale * 10 + digits.digits % scale;
    ASSERT_EQ(places.digits, moved) << '"' << text << '"';
    ASSERT_EQ(places.negative, digits.negative) << '"' << text << '"';
  }
  EXPECT_GT(read, 1000);
}

TEST(XbFormatFixed, RoundsHalfAwayFromZeroOnTheShortestForm) {
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
      {12345.678, 2, "12345.68"},
      {7, -2, "7"},
  };
  for (const auto& row : rows) {
    std::string text = "stale";
    XbFormatFixed(row.value, row.decimals, text);
    EXPECT_EQ(text, row.text) << row.value << " with " << row.decimals;
  }
}

TEST(XbFormatFixed, MillionsOfDecimalsAreZerosAfterTheSignificantDigits) {
  std::string text;
  XbFormatFixed(1.25, 60'000'000, text);
  ASSERT_EQ(text.size(), 60'000'002u);
  EXPECT_EQ(text.substr(0, 6), "1.2500");
  EXPECT_EQ(text.find_first_not_of('0', 4), std::string::npos);
}

TEST(XbFormatFixed, NamesNonFiniteValues) {
  std::string text;
  XbFormatFixed(std::numeric_limits<double>::infinity(), 2, text);
  EXPECT_EQ(text, "INF");
  XbFormatFixed(-std::numeric_limits<double>::infinity(), 2, text);
  EXPECT_EQ(text, "-INF");
  XbFormatFixed(std::nan(""), 2, text);
  EXPECT_EQ(text, "NAN");
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

// A field stores the number as it is written: 1.005 is 1.00499999999999989... in binary, and
// still rounds up, as STR rounds it.
TEST(XbFormatNumber, RoundsHalvesAsWrittenAwayFromZero) {
  EXPECT_EQ(Format(1.005, 6, 2), "  1.01");
  EXPECT_EQ(Format(-1.005, 6, 2), " -1.01");
  EXPECT_EQ(Format(2.675, 5, 2), " 2.68");
  EXPECT_EQ(Format(1.0049, 6, 2), "  1.00");
  EXPECT_EQ(Format(0.5, 2, 0), " 1");
  EXPECT_EQ(Format(-0.5, 2, 0), "-1");
  EXPECT_EQ(Format(-0.004, 5, 2), " 0.00");
}

TEST(XbFormatNumber, RefusesWhatDoesNotFit) {
  EXPECT_EQ(Format(99.995, 5, 2), "refused");  // rounds up to 100.00
  EXPECT_EQ(Format(-9.5, 2, 0), "refused");    // -10
  EXPECT_EQ(Format(1234, 3, 0), "refused");
  EXPECT_EQ(Format(1, 3, 2), "refused");
  EXPECT_EQ(Format(std::nan(""), 10, 0), "refused");
  EXPECT_EQ(Format(HUGE_VAL, 10, 0), "refused");
}

}  // namespace
}  // namespace tables
