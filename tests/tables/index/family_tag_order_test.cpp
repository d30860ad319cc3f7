// The tag behaviours the other index families need, on trees held in memory: a tag stored in
// descending order (comparisons negated), equal keys in insertion order (a record among them
// is found by scanning), and interior keys that only bound their children from above.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tables/index/cdx_key.hpp"
#include "tables/index/index_tag.hpp"

namespace tables::testing {
namespace {

// A tag of hand-made nodes: page 1024 is the root.
class HandMadeTag : public XBobjIndexTag {
 public:
  HandMadeTag(bool recordsOrderEqualKeys, bool storedDescending) : XBobjIndexTag("HAND") {
    SetKeyTraits(true, false, false);
    SetStoredOrder(recordsOrderEqualKeys, storedDescending);
  }

  void Leaf(std::uint32_t page, std::vector<std::pair<std::string, int>> entries) {
    XBobjIndexKey& node = nodes[page];
    node.page = page;
    for (const auto& [key, record] : entries)
      node.entries.push_back({key, record, static_cast<std::uint32_t>(record)});
  }

  void Interior(std::uint32_t page, std::vector<std::pair<std::string, std::uint32_t>> children) {
    XBobjIndexKey& node = nodes[page];
    node.page = page;
    node.leaf = false;
    for (const auto& [key, child] : children)
      node.entries.push_back({key, 0, child});
  }

  std::string ConvertKey(const TxbVariant& value) const override {
    return std::string(CdxTrimBlanks(value.bytes()));
  }
  std::uint32_t ReadRootOffset() override { return 1024; }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override { node = nodes.at(page); }

  std::vector<std::int32_t> Walk() {
    std::vector<std::int32_t> records;
    for (std::int32_t r = Move(xb_move::First); r != 0; r = Move(xb_move::Next))
      records.push_back(r);
    return records;
  }

  std::map<std::uint32_t, XBobjIndexKey> nodes;
};

const std::string kAboveAll(9, '\xFF');

TEST(StoredDescending, WalksFromTheGreatestKeyAndSeeksWithNegatedComparisons) {
  HandMadeTag tag(false, true);
  tag.Interior(1024, {{"M", 1536}, {"", 2048}});
  tag.Leaf(1536, {{"ZULU", 1}, {"PAPA", 2}, {"MIKE", 3}});
  tag.Leaf(2048, {{"KILO", 4}, {"ECHO", 5}, {"ALFA", 6}});
  EXPECT_EQ(tag.Walk(), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(tag.SeekKey("KILO", true), 4);
  EXPECT_EQ(tag.SeekKey("ZULU", true), 1);
  // Not there: the tag stays on the next entry in its order, the next smaller key.
  EXPECT_EQ(tag.SeekKey("LIMA", true), 0);
  ASSERT_NE(tag.current(), nullptr);
  EXPECT_EQ(tag.current()->record, 4);
  EXPECT_EQ(tag.SeekKey("EC", false), 5);
  EXPECT_EQ(tag.SeekKey("AAA", true), 0);
  EXPECT_TRUE(tag.eof());
}

TEST(InsertionOrderedEqualKeys, ARecordAmongEqualKeysIsFoundByScanning) {
  HandMadeTag tag(false, false);
  tag.Interior(1024, {{"B", 1536}, {kAboveAll, 2048}});
  tag.Leaf(1536, {{"A", 7}, {"B", 9}, {"B", 2}});
  tag.Leaf(2048, {{"B", 5}, {"B", 1}, {"C", 3}});
  EXPECT_EQ(tag.SeekKey("B", true), 9);
  EXPECT_EQ(tag.SeekEntry("B", 1), 1);
  EXPECT_EQ(tag.Move(xb_move::Next), 3);
  EXPECT_EQ(tag.SeekEntry("B", 5), 5);
  EXPECT_EQ(tag.Move(xb_move::Reread), 5);
  EXPECT_EQ(tag.Move(xb_move::Previous), 2);
  EXPECT_EQ(tag.SeekEntry("B", 4), 0);
  EXPECT_EQ(tag.SeekEntry("C", 3), 3);
}

// As in B-tree pages, whose keys are entries of their own: a child holds keys up to its
// interior key, not necessarily one equal to it.
TEST(LooseInteriorKeys, ASeekPastAChildsLastKeyGoesOnToTheNextEntry) {
  HandMadeTag tag(false, false);
  tag.Interior(1024, {{"HOTEL", 1536}, {"HOTEL", 1537}, {kAboveAll, 2048}});
  tag.Leaf(1536, {{"ALFA", 1}, {"DELTA", 2}});
  tag.Leaf(1537, {{"HOTEL", 3}});
  tag.Leaf(2048, {{"KILO", 4}, {"OSCAR", 5}});
  EXPECT_EQ(tag.Walk(), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(tag.SeekKey("GOLF", true), 0);
  ASSERT_NE(tag.current(), nullptr);
  EXPECT_EQ(tag.current()->record, 3);
  EXPECT_EQ(tag.SeekKey("HOTEL", true), 3);
  EXPECT_EQ(tag.SeekKey("HOT", false), 3);
  EXPECT_EQ(tag.SeekKey("JULIET", true), 0);
  EXPECT_EQ(tag.current()->record, 4);
  EXPECT_EQ(tag.SeekKey("ZULU", true), 0);
  EXPECT_TRUE(tag.eof());
}

}  // namespace
}  // namespace tables::testing
