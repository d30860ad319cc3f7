#include "platform/byte_order.hpp"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace platform {
namespace {

TEST(ByteOrder, LittleEndianPutsTheLowestByteFirst) {
  std::array<std::uint8_t, 8> bytes{};
  WriteLE32(bytes.data(), 0x12345678);
  EXPECT_EQ(bytes[0], 0x78);
  EXPECT_EQ(bytes[3], 0x12);
  EXPECT_EQ(ReadLE32(bytes.data()), 0x12345678u);
  WriteLE16(bytes.data(), 0xABCD);
  EXPECT_EQ(bytes[0], 0xCD);
  EXPECT_EQ(bytes[1], 0xAB);
  EXPECT_EQ(ReadLE16(bytes.data()), 0xABCD);
  WriteLE64(bytes.data(), 0x0102030405060708);
  EXPECT_EQ(bytes[0], 0x08);
  EXPECT_EQ(bytes[7], 0x01);
  EXPECT_EQ(ReadLE64(bytes.data()), 0x0102030405060708u);
}

TEST(ByteOrder, BigEndianPutsTheHighestByteFirst) {
  std::array<std::uint8_t, 4> bytes{};
  WriteBE32(bytes.data(), 0x12345678);
  EXPECT_EQ(bytes[0], 0x12);
  EXPECT_EQ(bytes[3], 0x78);
  EXPECT_EQ(ReadBE32(bytes.data()), 0x12345678u);
  WriteBE16(bytes.data(), 0x0200);
  EXPECT_EQ(bytes[0], 0x02);
  EXPECT_EQ(bytes[1], 0x00);
  EXPECT_EQ(ReadBE16(bytes.data()), 0x0200);
}

TEST(ByteOrder, HighBytesOfTextBuffersAreNotSignExtended) {
  char text[4];
  WriteLittleEndian(text, 0xFFFFFF80u, 4);
  EXPECT_EQ(ReadLittleEndian(text, 4), 0xFFFFFF80u);
  EXPECT_EQ(ReadLittleEndian(text, 1), 0x80u);
  WriteBigEndian(text, 0x80FF, 2);
  EXPECT_EQ(ReadBigEndian(text, 2), 0x80FFu);
}

TEST(ByteOrder, NegativeNumbersKeepTheirBitPattern) {
  std::array<std::uint8_t, 4> bytes{};
  WriteLE32(bytes.data(), static_cast<std::uint32_t>(-2));
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[3], 0xFF);
  EXPECT_EQ(static_cast<std::int32_t>(ReadLE32(bytes.data())), -2);
}

TEST(ByteOrder, DoublesAreStoredAsTheirLittleEndianBits) {
  std::array<std::uint8_t, 8> bytes{};
  WriteLEDouble(bytes.data(), 1.0);  // 0x3FF0000000000000
  EXPECT_EQ(bytes[7], 0x3F);
  EXPECT_EQ(bytes[6], 0xF0);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(ReadLEDouble(bytes.data()), 1.0);
  WriteLEDouble(bytes.data(), -0.1);
  EXPECT_EQ(ReadLEDouble(bytes.data()), -0.1);
}

TEST(ByteOrder, AppendingGrowsTheImageInOrder) {
  std::vector<std::uint8_t> image{0xAA};
  AppendLE16(image, 0x0102);
  AppendLE32(image, 0x03040506);
  AppendLE64(image, 0x0708);
  const std::vector<std::uint8_t> expected{0xAA, 0x02, 0x01, 0x06, 0x05, 0x04, 0x03, 0x08,
                                           0x07, 0,    0,    0,    0,    0,    0};
  EXPECT_EQ(image, expected);
}

}  // namespace
}  // namespace platform
