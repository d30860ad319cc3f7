#include "tools/xbtool/calendar_text.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "tables/storage/byte_order.hpp"

namespace tools::xbtool {
namespace {

constexpr std::int32_t k19800101 = 2444240;
constexpr std::int32_t kMillisecondsPerDay = 86400000;

TEST(ParseDateText, TakesBothSpellingsOfRealDates) {
  EXPECT_EQ(ParseDateText("19800101"), k19800101);
  EXPECT_EQ(ParseDateText("1980-01-01"), k19800101);
  EXPECT_EQ(ParseDateText("2024-02-29"), ParseDateText("20240229"));
  for (const char* wrong : {"", "1980-1-1", "19800230", "2023-02-29", "1980/01/01", "198001011",
                            "abcdefgh", "1980-13-01", "00000000"})
    EXPECT_FALSE(ParseDateText(wrong).has_value()) << wrong;
}

TEST(ParseTimeText, ReadsDatesWithOptionalClock) {
  const struct {
    const char* text;
    std::int32_t milliseconds;
  } cases[] = {
      {"1980-01-01", 0},
      {"1980-01-01T00:00", 0},
      {"1980-01-01 05:06", (5 * 60 + 6) * 60000},
      {"1980-01-01T05:06:07", ((5 * 60 + 6) * 60 + 7) * 1000},
      {"1980-01-01T05:06:07.1", ((5 * 60 + 6) * 60 + 7) * 1000 + 100},
      {"1980-01-01T05:06:07.12", ((5 * 60 + 6) * 60 + 7) * 1000 + 120},
      {"1980-01-01T23:59:59.999", kMillisecondsPerDay - 1},
  };
  for (const auto& c : cases) {
    const auto time = ParseTimeText(c.text);
    ASSERT_TRUE(time.has_value()) << c.text;
    EXPECT_EQ(time->day, k19800101) << c.text;
    EXPECT_EQ(time->milliseconds, c.milliseconds) << c.text;
  }
  for (const char* wrong :
       {"1980-01-01T", "1980-01-01T24:00", "1980-01-01T05:60", "19800101", "1980-01-01T05:06:61",
        "1980-01-01T05:06:07.", "1980-01-01T05:06:07.1234", "1980-01-01X05:06", "1980-01-01T5:06"})
    EXPECT_FALSE(ParseTimeText(wrong).has_value()) << wrong;
}

std::array<std::uint8_t, 8> Bytes(std::int32_t day, std::int32_t milliseconds) {
  std::array<std::uint8_t, 8> bytes{};
  tables::WriteLE32(bytes.data(), static_cast<std::uint32_t>(day));
  tables::WriteLE32(bytes.data() + 4, static_cast<std::uint32_t>(milliseconds));
  return bytes;
}

TEST(StoredTime, DayZeroIsEmptyAndBlanksHaveTheirOwnMeaning) {
  EXPECT_FALSE(StoredTimeOf(Bytes(0, 12345).data()).has_value());
  std::uint8_t blanks[8];
  std::memset(blanks, ' ', sizeof blanks);
  const auto blank = StoredTimeOf(blanks);
  ASSERT_TRUE(blank.has_value());
  EXPECT_EQ(blank->day, 2415019);
  EXPECT_EQ(blank->milliseconds, 0);
  EXPECT_EQ(TimeText(*blank), "1899-12-30T00:00:00.000");
}

TEST(StoredTime, MillisecondsOutsideTheDayCarry) {
  const auto later = StoredTimeOf(Bytes(k19800101, kMillisecondsPerDay + 1500).data());
  ASSERT_TRUE(later.has_value());
  EXPECT_EQ(TimeText(*later), "1980-01-02T00:00:01.500");
  const auto earlier = StoredTimeOf(Bytes(k19800101, -1).data());
  ASSERT_TRUE(earlier.has_value());
  EXPECT_EQ(TimeText(*earlier), "1979-12-31T23:59:59.999");
}

TEST(StoredTime, RoundTripsThroughTheBytes) {
  const auto time = ParseTimeText("2021-03-04T05:06:07.123");
  ASSERT_TRUE(time.has_value());
  std::uint8_t bytes[8];
  StoreTime(*time, bytes);
  EXPECT_EQ(tables::ReadLE32(bytes), static_cast<std::uint32_t>(time->day));
  EXPECT_EQ(tables::ReadLE32(bytes + 4), 18367123u);
  EXPECT_EQ(TimeText(*StoredTimeOf(bytes)), "2021-03-04T05:06:07.123");
}

}  // namespace
}  // namespace tools::xbtool
