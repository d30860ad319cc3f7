// The byte layout of compound index pages: leaf bit widths, key bytes of numbers, leaves and
// interior nodes written and read back, tag headers, and the refusal of damaged fields.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_layout.hpp"
#include "tables/storage/byte_order.hpp"

namespace tables::testing {
namespace {

using Page = std::array<std::uint8_t, kCdxPageSize>;

const CdxKeyForm kText10{10, true, false};
const CdxKeyForm kNumber{8, false, false};

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values)
    bytes += static_cast<char>(value);
  return bytes;
}

Page Leaf(const CdxKeyForm& form, const std::vector<XBobjIndexKeyData>& entries,
          std::uint32_t highest = 100) {
  CdxLeafWriter writer(form, CdxLeafLayoutFor(form.keyLength, highest));
  for (const auto& entry : entries)
    writer.Append(entry.key, entry.record);
  Page page{};
  writer.Write(page.data(), cdx_attribute::Leaf | cdx_attribute::Root, kNoPage, kNoPage);
  return page;
}

XBobjIndexKey Decode(const CdxKeyForm& form, const Page& page) {
  XBobjIndexKey node;
  CdxDecodeNode(form, page.data(), 1024, node);
  return node;
}

std::string DecodeFault(const CdxKeyForm& form, const Page& page) {
  try {
    Decode(form, page);
  } catch (const CdxLayoutError& error) {
    return error.what();
  }
  return "no fault";
}

TEST(CdxKeyText, LosesItsTrailingBlanksHoweverMany) {
  for (const std::size_t blanks : {0, 1, 7, 8, 9, 15, 16, 17, 80}) {
    SCOPED_TRACE(blanks);
    EXPECT_EQ(CdxTrimBlanks("a b" + std::string(blanks, ' ')), "a b");
    EXPECT_EQ(CdxTrimBlanks(std::string(blanks, ' ')), "");
  }
  const std::string inner = std::string(9, ' ') + "x";
  EXPECT_EQ(CdxTrimBlanks(inner + std::string(8, ' ')), inner);
}

TEST(CdxLeafLayout, GrowsWithTheHighestRecordNumber) {
  const CdxLeafLayout directory = CdxLeafLayoutFor(10, 1536);
  EXPECT_EQ(directory.recordBits, 16);
  EXPECT_EQ(directory.duplicateBits, 4);
  EXPECT_EQ(directory.trailingBits, 4);
  EXPECT_EQ(directory.entryBytes, 3);
  EXPECT_EQ(directory.recordMask, 0xFFFFu);

  EXPECT_EQ(CdxLeafLayoutFor(20, 16383).entryBytes, 3);
  EXPECT_EQ(CdxLeafLayoutFor(20, 16383).recordBits, 14);
  const CdxLeafLayout wider = CdxLeafLayoutFor(20, 16384);
  EXPECT_EQ(wider.entryBytes, 4);
  EXPECT_EQ(wider.recordBits, 22);
  EXPECT_EQ(wider.recordMask, (1u << 22) - 1);

  const CdxLeafLayout logical = CdxLeafLayoutFor(1, 2000);
  EXPECT_EQ(logical.recordBits, 22);
  EXPECT_EQ(logical.duplicateBits, 1);

  const CdxLeafLayout widest = CdxLeafLayoutFor(10, 0x20000000);
  EXPECT_EQ(widest.recordMask, 0x7FFFFFFFu);
  EXPECT_EQ(widest.recordBits, 31);
  EXPECT_EQ(widest.entryBytes, 5);
}

TEST(CdxNumberKeys, AreBigEndianDoublesThatSortAsBytes) {
  EXPECT_EQ(CdxNumberKey(0), Bytes({0x80, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(CdxNumberKey(1), Bytes({0xBF, 0xF0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(CdxNumberKey(-1), Bytes({0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(CdxNumberKey(-0.0), Bytes({0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  const double ordered[] = {-3, -2, -1, -0.0, 0, 1, 2, 760.24};
  for (std::size_t i = 1; i < std::size(ordered); ++i) {
    EXPECT_LT(CdxCompareKeys(CdxNumberKey(ordered[i - 1]), CdxNumberKey(ordered[i])), 0)
        << ordered[i - 1] << " before " << ordered[i];
  }
  for (const double value : ordered)
    EXPECT_EQ(CdxKeyNumber(CdxNumberKey(value)), value);
}

TEST(CdxLeaves, StoreOnlyTheBytesThatDifferFromTheKeyBefore) {
  const Page page = Leaf(kText10, {{"ABC", 1, 1}, {"ABD", 2, 2}});
  const CdxLeafLayout layout = CdxLeafLayoutFor(10, 100);
  const std::uint32_t second = ReadLE32(page.data() + 24 + 3) & 0xFFFFFF;
  EXPECT_EQ(second & layout.recordMask, 2u);
  EXPECT_EQ((second >> 16) & 0xF, 2u);  // duplicate count
  EXPECT_EQ((second >> 20) & 0xF, 7u);  // trailing count
  EXPECT_EQ(page[512 - 3 - 1], 'D');    // the one byte stored for ABD, below ABC's
  EXPECT_EQ(ReadLE16(page.data() + 12), 488 - 3 - 3 - 3 - 1);

  const XBobjIndexKey node = Decode(kText10, page);
  ASSERT_EQ(node.entries.size(), 2u);
  EXPECT_EQ(node.entries[0].key, "ABC");
  EXPECT_EQ(node.entries[1].key, "ABD");
  EXPECT_EQ(node.entries[1].record, 2);
  EXPECT_TRUE(node.leaf);
  EXPECT_TRUE(node.root);
}

TEST(CdxLeaves, KeepNegativeNumbersWholeSoThatTheyReadBackInOrder) {
  const Page page = Leaf(kNumber, {{CdxNumberKey(-3), 1, 1},
                                   {CdxNumberKey(-2), 2, 2},
                                   {CdxNumberKey(0), 3, 3},
                                   {CdxNumberKey(2), 4, 4}});
  const XBobjIndexKey node = Decode(kNumber, page);
  ASSERT_EQ(node.entries.size(), 4u);
  EXPECT_EQ(CdxKeyNumber(node.entries[0].key), -3);
  EXPECT_EQ(CdxKeyNumber(node.entries[1].key), -2);
  EXPECT_EQ(CdxKeyNumber(node.entries[2].key), 0);
  EXPECT_EQ(CdxKeyNumber(node.entries[3].key), 2);
  // -2 is stored with its trailing 0xFF bytes: no trailing count at all.
  const std::uint32_t entry = ReadLE32(page.data() + 24 + 3) & 0xFFFFFF;
  EXPECT_EQ(entry >> 20, 0u);
}

TEST(CdxLeaves, WithKeysOfTheFullLengthAndEmptyKeys) {
  const std::string full(10, 'Z');
  const Page page = Leaf(kText10, {{"", 5, 5}, {"", 6, 6}, {full, 7, 7}});
  const XBobjIndexKey node = Decode(kText10, page);
  ASSERT_EQ(node.entries.size(), 3u);
  EXPECT_EQ(node.entries[0].key, "");
  EXPECT_EQ(node.entries[1].key, "");
  EXPECT_EQ(node.entries[2].key, full);
}

TEST(CdxInteriorNodes, CarryBigEndianRecordsAndChildren) {
  Page page{};
  CdxWriteInterior(kText10, {{"AB", 3, 2048}, {"XYZ", 9, 2560}}, page.data(), cdx_attribute::Root,
                   kNoPage, kNoPage);
  EXPECT_EQ(ReadBE32(page.data() + 12 + 10), 3u);
  EXPECT_EQ(ReadBE32(page.data() + 12 + 14), 2048u);
  EXPECT_EQ(page[12 + 2], ' ');
  const XBobjIndexKey node = Decode(kText10, page);
  ASSERT_EQ(node.entries.size(), 2u);
  EXPECT_FALSE(node.leaf);
  EXPECT_EQ(node.entries[1].key, "XYZ");
  EXPECT_EQ(node.entries[1].record, 9);
  EXPECT_EQ(node.entries[1].pointer, 2560u);
}

TEST(CdxDecoding, RefusesFieldsThatDoNotFit) {
  Page page = Leaf(kText10, {{"ABC", 1, 1}, {"ABD", 2, 2}});
  Page bad = page;
  bad[20] = 30;  // record bits: 30 + 4 + 4 > 24
  EXPECT_NE(DecodeFault(kText10, bad).find("bit fields"), std::string::npos);
  bad = page;
  WriteLE16(bad.data() + 2, 200);  // 200 entries of 3 bytes
  EXPECT_NE(DecodeFault(kText10, bad).find("more than fit"), std::string::npos);
  bad = page;
  WriteLE16(bad.data() + 2, 150);  // fits as entries, but the key bytes then overlap them
  EXPECT_NE(DecodeFault(kText10, bad), "no fault");
  bad = page;
  bad[24 + 3 + 2] = 0xFF;  // duplicate and trailing counts of 15 for key length 10
  EXPECT_NE(DecodeFault(kText10, bad).find("duplicate count"), std::string::npos);
  bad = page;
  WriteLE16(bad.data(), 7);
  EXPECT_NE(DecodeFault(kText10, bad).find("attribute"), std::string::npos);

  Page interior{};
  CdxWriteInterior(kText10, {{"AB", 3, 2048}}, interior.data(), 1, kNoPage, kNoPage);
  Page badInterior = interior;
  WriteBE32(badInterior.data() + 12 + 14, 2049);
  EXPECT_NE(DecodeFault(kText10, badInterior).find("not a page"), std::string::npos);
  badInterior = interior;
  WriteLE16(badInterior.data() + 2, 28);  // capacity for key length 10 is 27
  EXPECT_NE(DecodeFault(kText10, badInterior).find("capacity"), std::string::npos);
}

TEST(CdxHeaders, ReadBackWhatWasWritten) {
  CdxTagHeader header;
  header.root = 2048;
  header.version = 7;
  header.keyLength = 60;
  header.options = 0x68;
  header.descending = true;
  header.keyExpression = "Upper( SITE )";
  header.forExpression = "NUM > 0";
  std::array<std::uint8_t, kCdxHeaderSize> bytes{};
  CdxWriteHeader(header, false, bytes.data());
  EXPECT_EQ(ReadLE16(bytes.data() + 504), 14);
  EXPECT_EQ(ReadLE16(bytes.data() + 506), 8);
  EXPECT_EQ(ReadLE16(bytes.data() + 510), 14);
  EXPECT_EQ(bytes[15], 1);
  const CdxTagHeader read = CdxReadHeader(bytes.data(), 4096);
  EXPECT_EQ(read.root, 2048u);
  EXPECT_EQ(read.version, 7);
  EXPECT_EQ(read.keyLength, 60);
  EXPECT_TRUE(read.hasFor());
  EXPECT_FALSE(read.unique());
  EXPECT_TRUE(read.descending);
  EXPECT_FALSE(read.general);
  EXPECT_EQ(read.keyExpression, "Upper( SITE )");
  EXPECT_EQ(read.forExpression, "NUM > 0");

  header.general = true;
  CdxWriteHeader(header, false, bytes.data());
  EXPECT_EQ(bytes[15], 2);
  EXPECT_TRUE(CdxReadHeader(bytes.data(), 4096).general);
}

TEST(CdxHeaders, RefuseRootsKeyLengthsAndExpressionsThatCannotBe) {
  CdxTagHeader header;
  header.root = 2048;
  header.keyLength = 10;
  header.keyExpression = "NAME";
  std::array<std::uint8_t, kCdxHeaderSize> bytes{};
  const auto fault = [&](std::uint64_t fileSize) -> std::string {
    try {
      CdxReadHeader(bytes.data(), fileSize);
    } catch (const CdxLayoutError& error) {
      return error.what();
    }
    return "no fault";
  };
  CdxWriteHeader(header, false, bytes.data());
  EXPECT_EQ(fault(4096), "no fault");
  EXPECT_NE(fault(2048).find("root page"), std::string::npos);
  for (const std::uint32_t root : {0u, 2050u}) {
    WriteLE32(bytes.data(), root);
    EXPECT_NE(fault(4096).find("root page"), std::string::npos) << root;
  }
  WriteLE32(bytes.data(), 2048);
  for (const int length : {0, 241, -1}) {
    WriteLE16(bytes.data() + 12, static_cast<std::uint16_t>(length));
    EXPECT_NE(fault(4096).find("key length"), std::string::npos) << length;
  }
  WriteLE16(bytes.data() + 12, 10);
  std::fill(bytes.begin() + 512, bytes.end(), 'X');
  EXPECT_NE(fault(4096).find("not terminated"), std::string::npos);

  header.keyExpression.assign(600, 'A');
  EXPECT_THROW(CdxWriteHeader(header, false, bytes.data()), CdxLayoutError);
}

TEST(CdxGeneralKeys, AreWeightsThenMarks) {
  // A and a weigh alike (96); the accent of a lower-case e-acute becomes a mark.
  EXPECT_EQ(CdxGeneralKey("Aa"), Bytes({96, 96}));
  EXPECT_EQ(CdxGeneralKey("ab  "), Bytes({96, 97}));
  EXPECT_EQ(CdxGeneralKey("\xE9"), Bytes({102, 33 | 0xF0}));
  // Ligature AE expands into two weights; its marks (32 OR 0xF0) are plain 0xF0 and trail off.
  EXPECT_EQ(CdxGeneralKey("\xC6"), Bytes({96, 102}));
  EXPECT_EQ(CdxGeneralKey("\xC6\xE9"), Bytes({96, 102, 102, 0xF0, 0xF0, 0xF1}));
  std::string key = CdxGeneralKey("\xE9\xE9");
  const std::string original = key;
  CdxGeneralToStored(key);
  EXPECT_EQ(key, Bytes({102, 102, 1, 1}));
  CdxGeneralFromStored(key);
  EXPECT_EQ(key, original);
}

}  // namespace
}  // namespace tables::testing
