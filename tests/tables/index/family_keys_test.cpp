// Key forms of the other index families: NTX text keys of numbers and dates (other writers'
// forms included), the 12-byte decimal numbers of MDX files, and the bottom-up B+ tree writer
// of NDX and MDX tags.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tables/index/family_tree_writer.hpp"
#include "tables/index/mdx_key.hpp"
#include "tables/index/ntx_key.hpp"
#include "tables/storage/dbf_date.hpp"

namespace tables::testing {
namespace {

TEST(NtxKeys, NumbersAreTextWithNegativesMirrored) {
  EXPECT_EQ(NtxNumberKey(21.13, 10, 2), "0000021.13");
  EXPECT_EQ(NtxNumberKey(-994.53, 10, 2), ",,,,##(.')");
  EXPECT_EQ(NtxNumberKey(0, 6, 0), "000000");
  EXPECT_EQ(NtxNumberKey(-0.001, 6, 2), "000.00");
  EXPECT_EQ(NtxNumberKey(1234567, 5, 0), "*****");
  EXPECT_LT(NtxNumberKey(-10, 6, 2), NtxNumberKey(-5, 6, 2));
  EXPECT_LT(NtxNumberKey(-0.5, 6, 2), NtxNumberKey(0, 6, 2));
  for (const double value : {21.13, -994.53, 0.0, -5.0, 999.99}) {
    EXPECT_EQ(NtxKeyNumber(NtxNumberKey(value, 10, 2)), value) << value;
  }
}

TEST(NtxKeys, OtherWritersNumbersAndDatesRead) {
  EXPECT_EQ(NtxKeyNumber(std::string("  115\0", 6)), 115.0);
  EXPECT_EQ(NtxKeyNumber("   -1"), std::nullopt);
  EXPECT_EQ(NtxKeyNumber("12X4"), std::nullopt);
  EXPECT_EQ(NtxKeyDate(""), 0);
  EXPECT_EQ(NtxKeyDate("00000000"), 0);
  EXPECT_EQ(NtxKeyDate("2024013"), std::nullopt);
  EXPECT_EQ(NtxKeyDate("20240231"), std::nullopt);
}

TEST(NtxKeys, DatesAreEightDigits) {
  const std::int32_t day = *TxbDBFDate::FromCalendar(2024, 1, 31);
  EXPECT_EQ(NtxDateKey(day), "20240131");
  EXPECT_EQ(NtxDateKey(0), "00000000");
  EXPECT_EQ(NtxDateKey(-3), "00000000");
  EXPECT_EQ(NtxKeyDate("20240131"), day);
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes(kMdxNumericKeyLength, '\0');
  std::size_t i = 0;
  for (const int value : values)
    bytes[i++] = static_cast<char>(value);
  return bytes;
}

TEST(MdxKeys, NumbersAreDecimalDigitsWithTheirExponent) {
  EXPECT_EQ(MdxNumberKey(123.45), Bytes({52 + 3, 3 * 2 * 4 + 1, 0x12, 0x34, 0x50}));
  EXPECT_EQ(MdxNumberKey(-123.45), Bytes({52 + 3, (3 * 2 * 4 + 1) | 0x80, 0x12, 0x34, 0x50}));
  EXPECT_EQ(MdxNumberKey(0.001), Bytes({52 - 2, 1 * 2 * 4 + 1, 0x10}));
  EXPECT_EQ(MdxNumberKey(10), Bytes({52 + 2, 1 * 2 * 4 + 1, 0x10}));
  EXPECT_EQ(MdxNumberKey(0), Bytes({52, 1}));
  EXPECT_EQ(MdxNumberKey(1e20),
            Bytes({52 + 15, 8 * 2 * 4 + 1, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x90}));
}

TEST(MdxKeys, NumbersReadBack) {
  for (const double value : {123.45, -123.45, 0.001, 10.0, 0.0, -4923.64, 2200.0, 1e-7}) {
    EXPECT_EQ(MdxKeyNumber(MdxNumberKey(value)), value) << value;
  }
  EXPECT_EQ(MdxKeyNumber(MdxNumberKey(1e20)), 999999999999999e0);
  EXPECT_EQ(MdxKeyNumber("\x01"), 0);
}

// Nodes the writer stores, by the address it gave them.
struct WrittenTree {
  std::map<std::uint32_t, std::pair<bool, std::vector<XBobjIndexKeyData>>> nodes;
  std::uint32_t next = 512;

  XbFamilyTreeWriter Writer(int maxKeys) {
    return XbFamilyTreeWriter(maxKeys,
                              [this](const std::vector<XBobjIndexKeyData>& entries, bool leaf) {
                                nodes[next] = {leaf, entries};
                                next += 512;
                                return next - 512;
                              });
  }

  // The records below address in key order; checks every node on the way.
  void Collect(std::uint32_t address, int maxKeys, bool root, std::vector<std::int32_t>& out) {
    const auto& [leaf, entries] = nodes.at(address);
    if (leaf) {
      EXPECT_LE(entries.size(), static_cast<std::size_t>(maxKeys));
      EXPECT_TRUE(root || !entries.empty());
      for (const XBobjIndexKeyData& entry : entries)
        out.push_back(entry.record);
      return;
    }
    // An interior node holds at least one key besides its last pointer.
    EXPECT_GE(entries.size(), 2u) << address;
    EXPECT_LE(entries.size(), static_cast<std::size_t>(maxKeys) + 1);
    for (const XBobjIndexKeyData& entry : entries)
      Collect(entry.pointer, maxKeys, false, out);
  }
};

TEST(FamilyTreeWriter, EveryCountMakesATreeWithoutLonePointers) {
  for (const int maxKeys : {2, 3, 5}) {
    for (int count = 0; count <= 80; ++count) {
      WrittenTree tree;
      XbFamilyTreeWriter writer = tree.Writer(maxKeys);
      std::vector<std::int32_t> added;
      for (int n = 1; n <= count; ++n) {
        char key[8];
        std::snprintf(key, sizeof key, "%05d", n);
        writer.Add(key, n);
        added.push_back(n);
      }
      const std::uint32_t root = writer.Finish();
      std::vector<std::int32_t> met;
      tree.Collect(root, maxKeys, true, met);
      EXPECT_EQ(met, added) << maxKeys << " keys per node, " << count << " keys";
    }
  }
}

}  // namespace
}  // namespace tables::testing
