#include "tables/storage/cipher.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tables {
namespace {

std::vector<std::uint8_t> Masks(std::string_view key, std::size_t count) {
  std::vector<std::uint8_t> zeros(count, 0), masks(count);
  TransformBlock(key, zeros.data(), masks.data(), count, true);
  return masks;
}

TEST(TransformBlock, OneByteKeyMasksCombineThePosition) {
  EXPECT_EQ(Masks("\x40", 3), (std::vector<std::uint8_t>{0x40, 0x41, 0x42}));
  EXPECT_EQ(Masks("\x43", 3), (std::vector<std::uint8_t>{0x43, 0x43, 0x43}));
}

TEST(TransformBlock, TheProductKeyGivesItsMasks) {
  EXPECT_EQ(Masks("q3#Lm9!", 8),
            (std::vector<std::uint8_t>{0x71, 0x33, 0x23, 0x4F, 0x6D, 0x3D, 0x27, 0x77}));
}

TEST(TransformBlock, OnlyThePositionModulo256Counts) {
  const std::vector<std::uint8_t> masks = Masks("\x10\x20", 600);
  EXPECT_EQ(masks[256], masks[0]);
  EXPECT_EQ(masks[512], masks[0]);
  EXPECT_EQ(masks[257], 0x21);
}

// Long blocks run through many mask cycles (lcm(256, key length) bytes); keys of other
// lengths in between must not leave their masks behind.
TEST(TransformBlock, LongBlocksAndChangingKeysFollowTheByteRule) {
  for (std::string_view key :
       {std::string_view("q3#Lm9!"), std::string_view("\x05"),
        std::string_view("abcdefghijklmnopq"), std::string_view("q3#Lm9!")}) {
    SCOPED_TRACE(key);
    const std::vector<std::uint8_t> masks = Masks(key, 9000);
    for (std::size_t i = 0; i < masks.size(); ++i) {
      const auto expected =
          static_cast<std::uint8_t>((i & 0xFF) | static_cast<std::uint8_t>(key[i % key.size()]));
      ASSERT_EQ(masks[i], expected) << i;
    }
  }
}

TEST(TransformBlock, TwiceGivesBackTheBytes) {
  std::vector<std::uint8_t> original(1000);
  for (std::size_t i = 0; i < original.size(); ++i)
    original[i] = static_cast<std::uint8_t>(i * 7);
  std::vector<std::uint8_t> coded(original.size());
  EXPECT_EQ(TransformBlock("q3#Lm9!", original.data(), coded.data(), coded.size(), true), 1);
  EXPECT_NE(coded, original);
  EXPECT_EQ(TransformBlock("q3#Lm9!", coded.data(), coded.data(), coded.size(), false), -1);
  EXPECT_EQ(coded, original);
}

TEST(TransformBlock, AnEmptyKeyCopies) {
  const std::vector<std::uint8_t> source{1, 2, 3};
  std::vector<std::uint8_t> target(3, 9);
  EXPECT_EQ(TransformBlock("", source.data(), target.data(), 3, true), 0);
  EXPECT_EQ(target, source);
}

}  // namespace
}  // namespace tables
