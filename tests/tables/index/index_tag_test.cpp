// Searching and stepping in a tag, on trees held in memory: exact and prefix matches, equal
// keys, steps across nodes in both directions, descending tags, ranges, and damaged trees.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tables/index/cdx_key.hpp"
#include "tables/index/index_tag.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

// A tag whose nodes live in a map; the tree is built bottom-up from sorted entries.
class MemoryTag : public XBobjIndexTag {
 public:
  MemoryTag(std::vector<XBobjIndexKeyData> entries, std::size_t perNode, bool character = true,
            bool descending = false)
      : XBobjIndexTag("MEMORY") {
    SetKeyTraits(character, descending, false);
    std::vector<XBobjIndexKeyData> level = std::move(entries);
    bool leaf = true;
    do {
      std::vector<XBobjIndexKeyData> above;
      std::vector<std::uint32_t> pages;
      for (std::size_t at = 0; at < level.size() || at == 0; at += perNode) {
        XBobjIndexKey node;
        node.page = next_;
        next_ += 512;
        node.leaf = leaf;
        const std::size_t end = std::min(level.size(), at + perNode);
        node.entries.assign(level.begin() + static_cast<std::ptrdiff_t>(at),
                            level.begin() + static_cast<std::ptrdiff_t>(end));
        if (!node.entries.empty()) {
          above.push_back({node.entries.back().key, node.entries.back().record, node.page});
        }
        pages.push_back(node.page);
        nodes[node.page] = node;
        if (end == level.size()) break;
      }
      root = pages.front();
      level = std::move(above);
      leaf = false;
      if (pages.size() == 1) break;
    } while (true);
  }

  std::string ConvertKey(const TxbVariant& value) const override {
    if (value.type() == TxbVariant::Number) return CdxNumberKey(value.AsNumber());
    return std::string(CdxTrimBlanks(value.bytes()));
  }
  std::uint32_t ReadRootOffset() override { return root; }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override {
    const auto found = nodes.find(page);
    if (found == nodes.end()) NodeFault(page, "no such page");
    node = found->second;
  }

  std::vector<std::int32_t> Walk(int first, int step) {
    std::vector<std::int32_t> records;
    for (std::int32_t r = Move(first); r != 0; r = Move(step))
      records.push_back(r);
    return records;
  }

  std::map<std::uint32_t, XBobjIndexKey> nodes;
  std::uint32_t root = 0;

 private:
  std::uint32_t next_ = 1024;
};

std::vector<XBobjIndexKeyData> Entries(std::initializer_list<std::pair<const char*, int>> list) {
  std::vector<XBobjIndexKeyData> entries;
  for (const auto& [key, record] : list) {
    entries.push_back({key, record, static_cast<std::uint32_t>(record)});
  }
  return entries;
}

TxbVariant Text(const char* text) {
  TxbVariant value;
  value.SetText(text);
  return value;
}

TEST(IndexTagSeek, MatchesExactlyOrByPrefix) {
  MemoryTag tag(Entries({{"ABCD", 4}, {"XY", 9}}), 4);
  EXPECT_EQ(tag.Seek(Text("ABC"), true), 0);
  ASSERT_NE(tag.current(), nullptr);
  EXPECT_EQ(tag.current()->record, 4);  // left on the next greater key
  EXPECT_EQ(tag.Seek(Text("ABC"), false), 4);
  EXPECT_EQ(tag.Seek(Text("ABCD  "), true), 4);
  EXPECT_EQ(tag.Seek(Text("ZZ"), false), 0);
  EXPECT_TRUE(tag.eof());
}

TEST(IndexTagSeek, FindsTheLowestRecordOfEqualKeysAcrossNodes) {
  MemoryTag tag(Entries({{"A", 1}, {"B", 3}, {"B", 5}, {"B", 7}, {"C", 2}}), 2);
  EXPECT_EQ(tag.Seek(Text("B"), true), 3);
  EXPECT_EQ(tag.Move(xb_move::Next), 5);
  EXPECT_EQ(tag.SeekEntry("B", 7), 7);
  EXPECT_EQ(tag.SeekEntry("B", 4), 0);
}

TEST(IndexTagSeek, NeverMatchesNumbersByPrefix) {
  std::vector<XBobjIndexKeyData> entries;
  for (const double value : {-3.0, 3.0, 30.0}) {
    entries.push_back({CdxNumberKey(value), static_cast<std::int32_t>(value + 10), 0});
  }
  MemoryTag tag(entries, 2, false);
  TxbVariant two;
  two.SetNumber(2);
  EXPECT_EQ(tag.Seek(two, false), 0);
  TxbVariant three;
  three.SetNumber(3);
  EXPECT_EQ(tag.Seek(three, false), 13);
}

TEST(IndexTagSteps, WalkEveryEntryBothWaysAcrossLevels) {
  std::vector<XBobjIndexKeyData> entries;
  std::vector<std::int32_t> order;
  for (int i = 1; i <= 40; ++i) {
    entries.push_back({std::string(1, static_cast<char>('A' + i / 3)), i, 0});
    order.push_back(i);
  }
  MemoryTag tag(entries, 3);
  EXPECT_EQ(tag.Walk(xb_move::First, xb_move::Next), order);
  EXPECT_TRUE(tag.eof());
  EXPECT_EQ(tag.Move(xb_move::Previous), 40);  // back from EOF to the last entry
  std::reverse(order.begin(), order.end());
  EXPECT_EQ(tag.Walk(xb_move::Last, xb_move::Previous), order);
  EXPECT_TRUE(tag.bof());
  EXPECT_EQ(tag.Move(xb_move::Next), 1);
}

TEST(IndexTagSteps, RunBackwardsInADescendingTag) {
  MemoryTag tag(Entries({{"A", 1}, {"B", 2}, {"B", 3}, {"C", 4}}), 2, true, true);
  EXPECT_EQ(tag.Walk(xb_move::First, xb_move::Next), (std::vector<std::int32_t>{4, 3, 2, 1}));
  EXPECT_TRUE(tag.eof());
  EXPECT_EQ(tag.Seek(Text("B"), true), 3);  // the first of the equal keys in tag order
  EXPECT_EQ(tag.Seek(Text("BB"), true), 0);
  ASSERT_NE(tag.current(), nullptr);
  EXPECT_EQ(tag.current()->record, 3);  // the next entry in tag order
}

TEST(IndexTagSteps, OnAnEmptyTreeGiveBothEnds) {
  MemoryTag tag({}, 4);
  EXPECT_EQ(tag.Move(xb_move::First), 0);
  EXPECT_TRUE(tag.bof());
  EXPECT_TRUE(tag.eof());
  EXPECT_EQ(tag.Seek(Text("A"), true), 0);
  EXPECT_EQ(tag.current(), nullptr);
}

TEST(IndexTagRanges, StopAtTheirBounds) {
  MemoryTag tag(Entries({{"A", 1}, {"BA", 2}, {"BB", 3}, {"BC", 4}, {"C", 5}}), 2);
  EXPECT_EQ(tag.SetRange(std::string("B"), std::string("B"), true), 2);
  EXPECT_EQ(tag.Walk(xb_move::First, xb_move::Next), (std::vector<std::int32_t>{2, 3, 4}));
  EXPECT_EQ(tag.Walk(xb_move::Last, xb_move::Previous), (std::vector<std::int32_t>{4, 3, 2}));
  EXPECT_EQ(tag.Seek(Text("C"), true), 0);
  EXPECT_TRUE(tag.eof());
  tag.SetRange(std::string("BB"), std::string("BB"), false);
  EXPECT_EQ(tag.Walk(xb_move::First, xb_move::Next), (std::vector<std::int32_t>{3}));
  tag.ClearRange();
  EXPECT_EQ(tag.Walk(xb_move::First, xb_move::Next).size(), 5u);
}

// A node is searched by halving; the reference here is a scan of all entries in stored order.
// Short keys over three letters give many equal keys and keys that begin others.
TEST(IndexTagSeek, AgreesWithAScanOfAllEntriesOnRandomKeys) {
  std::mt19937 random(31);
  const auto randomKey = [&random] {
    std::string key(1 + random() % 4, ' ');
    for (char& c : key)
      c = static_cast<char>('A' + random() % 3);
    return key;
  };
  std::vector<XBobjIndexKeyData> entries;
  for (std::int32_t record = 1; record <= 300; ++record)
    entries.push_back({randomKey(), record, static_cast<std::uint32_t>(record)});
  std::sort(entries.begin(), entries.end(), [](const auto& left, const auto& right) {
    return std::tie(left.key, left.record) < std::tie(right.key, right.record);
  });
  for (std::size_t perNode : {2u, 5u, 16u}) {
    for (bool descending : {false, true}) {
      MemoryTag tag(entries, perNode, true, descending);
      for (int probeNumber = 0; probeNumber < 200; ++probeNumber) {
        const std::string probe = randomKey();
        for (bool exact : {true, false}) {
          const auto matches = [&](const XBobjIndexKeyData& entry) {
            return exact ? entry.key == probe : entry.key.rfind(probe, 0) == 0;
          };
          // Ascending: the first entry not below the probe; descending, the last entry not
          // above it (a key the probe begins counts as not above when prefixes match).
          std::int32_t expected = 0;
          if (!descending) {
            const auto at = std::find_if(entries.begin(), entries.end(),
                                         [&](const auto& entry) { return entry.key >= probe; });
            if (at != entries.end() && matches(*at)) expected = at->record;
          } else {
            const auto at = std::find_if(entries.rbegin(), entries.rend(), [&](const auto& entry) {
              return entry.key <= probe || matches(entry);
            });
            if (at != entries.rend() && matches(*at)) expected = at->record;
          }
          TxbVariant value;
          value.SetText(probe);
          EXPECT_EQ(tag.Seek(value, exact), expected)
              << probe << " exact " << exact << " descending " << descending << " per node "
              << perNode;
        }
      }
    }
  }
}

TEST(IndexTagFindRecord, LeavesThePositionAlone) {
  MemoryTag tag(Entries({{"A", 1}, {"B", 2}, {"C", 3}}), 2);
  EXPECT_EQ(tag.Move(xb_move::First), 1);
  EXPECT_EQ(tag.FindRecord(Text("C")), 3);
  EXPECT_EQ(tag.Move(xb_move::Next), 2);
}

TEST(IndexTagDamage, ALoopInTheTreeIsAnErrorNamingThePage) {
  MemoryTag tag(Entries({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}), 2);
  XBobjIndexKey& root = tag.nodes[tag.root];
  ASSERT_FALSE(root.leaf);
  root.entries[1].pointer = tag.root;
  try {
    tag.Move(xb_move::Last);
    FAIL() << "no error";
  } catch (const EXbaseError& error) {
    EXPECT_EQ(error.code(), kInvalidIndexCode);
    EXPECT_NE(std::string(error.what()).find("page " + std::to_string(tag.root)),
              std::string::npos);
  }
  root.entries[1].pointer = 99 * 512;
  EXPECT_THROW(tag.Seek(Text("D"), true), EXbaseError);
}

}  // namespace
}  // namespace tables::testing
