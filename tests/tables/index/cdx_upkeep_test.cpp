// Keeping compound tags current through appends and changes: where leaves and interior nodes
// split, the root page that stays, unchanged keys, FOR conditions, unique tags, emptied tags,
// long keys, enciphered files, pages kept in memory, and thousands of random record changes after
// which every tag equals a fresh build and passes the verifier.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_tree_editor.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {
namespace {

XBobjIndexKey Node(XBobjCDXTag& tag, std::uint32_t page) {
  XBobjIndexKey node;
  tag.ReadNode(page, node);
  return node;
}

class CdxUpkeep : public ::testing::Test {
 protected:
  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

TEST_F(CdxUpkeep, AscendingKeysSplitTheRootLeafBelow250BytesAndKeepTheRootPage) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  XBobjCDXTag& tag = table.tag("N");
  const std::uint32_t root = tag.header().root;
  std::vector<XBobjIndexKeyData> keys;
  for (int n = 1; Node(tag, root).leaf; ++n) {
    ASSERT_LT(n, 1000) << "the root leaf never split";
    keys.push_back({Numbered("K", n, 6), n, static_cast<std::uint32_t>(n)});
    EXPECT_TRUE(table.Append(Name(keys.back().key)));
  }
  const CdxLeafLayout layout = CdxLeafLayoutFor(10, static_cast<std::uint32_t>(keys.size()));
  CdxLeafWriter writer(tag.keyForm(), layout);
  std::size_t lead = 0;
  int total = 0;
  for (const XBobjIndexKeyData& key : keys) {
    total += writer.SizeOf(key.key);
    writer.Append(key.key, key.record);
    if (total < 250) ++lead;
  }
  EXPECT_GE(total, 488);
  EXPECT_LT(total - writer.SizeOf(keys.back().key), 488 + 10) << "split later than needed";

  EXPECT_EQ(tag.header().root, root);
  const XBobjIndexKey top = Node(tag, root);
  EXPECT_TRUE(top.root);
  ASSERT_EQ(top.entries.size(), 2u);
  const XBobjIndexKey left = Node(tag, top.entries[0].pointer);
  const XBobjIndexKey right = Node(tag, top.entries[1].pointer);
  EXPECT_EQ(left.entries.size(), lead);
  EXPECT_EQ(right.entries.size(), keys.size() - lead);
  EXPECT_EQ(top.entries[0].key, keys[lead - 1].key);
  EXPECT_EQ(top.entries[1].key, keys.back().key);
  EXPECT_EQ(left.left, kNoPage);
  EXPECT_EQ(left.right, right.page);
  EXPECT_EQ(right.left, left.page);
  EXPECT_EQ(right.right, kNoPage);
  EXPECT_EQ(table.Disagreements(), "");
}

// An interior node is searched on its page bytes on the way down; what it leads to is checked
// as a decoded node's is.
TEST_F(CdxUpkeep, ADamagedInteriorNodeOnTheWayDownIsReported) {
  struct Damage {
    const char* name;
    std::size_t at;  // from the root page
    std::uint8_t value;
    const char* reason;
  };
  // Key length 10: the first entry's child pointer (big-endian) ends at byte 12 + 10 + 8.
  for (const Damage& damage : {Damage{"child pointer", 12 + 10 + 7, 0x01, "is not a page"},
                               Damage{"entry count", 2, 200, "more than its capacity"}}) {
    StorageTestMachine own;
    UpkeepTable table(own, {{"NAME", 'C', 10}});
    table.Index({TagDefinition("N", "NAME")});
    for (int n = 1; n <= 400; ++n)
      table.Append(Name(Numbered("K", n, 6)));
    const std::uint32_t root = table.tag("N").header().root;
    ASSERT_FALSE(Node(table.tag("N"), root).leaf);
    std::vector<std::uint8_t> bytes = table.IndexBytes();
    table.Close();
    bytes[root + damage.at] = damage.value;
    own.WriteBytes(StorageTestMachine::Path("T.CDX"), bytes);

    const auto reopened = table.OpenTable(false);
    const auto index = table.OpenIndex(*reopened, false);
    try {
      UpkeepTable::Append(*reopened, *index, Name("A"));
      ADD_FAILURE() << damage.name << ": the append went through";
    } catch (const EXbaseError& error) {
      EXPECT_EQ(error.code(), kInvalidIndexCode) << damage.name;
      const std::string text = error.what();
      EXPECT_NE(text.find("page " + std::to_string(root) + ": "), std::string::npos) << text;
      EXPECT_NE(text.find(damage.reason), std::string::npos) << text;
    }
  }
}

TEST_F(CdxUpkeep, AFullInteriorRootSplitsFourteenAndFourteen) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  XBobjCDXTag& tag = table.tag("N");
  const std::uint32_t root = tag.header().root;
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 5000) << "the interior root never split";
    table.Append(Name(Numbered("K", n, 6)));
    const XBobjIndexKey top = Node(tag, root);
    if (top.leaf || Node(tag, top.entries[0].pointer).leaf) continue;
    ASSERT_EQ(top.entries.size(), 2u);
    EXPECT_EQ(Node(tag, top.entries[0].pointer).entries.size(), 14u);
    EXPECT_EQ(Node(tag, top.entries[1].pointer).entries.size(), 14u);
    break;
  }
  EXPECT_EQ(tag.header().root, root);
  EXPECT_EQ(table.Disagreements(), "");
}

TEST(CdxCuts, InteriorNodesGiveTheLargerHalfToTheNewLeftPage) {
  EXPECT_EQ(CdxInteriorCuts(27, 27), (std::vector<std::size_t>{27}));
  EXPECT_EQ(CdxInteriorCuts(28, 27), (std::vector<std::size_t>{14, 28}));
  EXPECT_EQ(CdxInteriorCuts(29, 27), (std::vector<std::size_t>{15, 29}));
  EXPECT_EQ(CdxInteriorCuts(3, 2), (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(CdxInteriorCuts(7, 2), (std::vector<std::size_t>{2, 4, 6, 7}));
}

TEST(CdxCuts, LeavesOfLongKeysSplitIntoPartsThatEachFit) {
  const CdxKeyForm form{240, true, false};
  const CdxLeafLayout layout = CdxLeafLayoutFor(240, 100000000);
  std::vector<XBobjIndexKeyData> entries;
  for (int n = 0; n < 3; ++n)
    entries.push_back({std::string(240, static_cast<char>('A' + n)), n + 1, 0});
  const std::vector<std::size_t> cuts = CdxLeafCuts(form, layout, entries);
  ASSERT_EQ(cuts, (std::vector<std::size_t>{1, 2, 3}));
  EXPECT_EQ(CdxLeafCuts(form, layout, {entries[0]}), (std::vector<std::size_t>{1}));
}

TEST_F(CdxUpkeep, LeavesWrittenOnceTheTableHolds16384RecordsTakeFourByteEntries) {
  UpkeepTable table(sim, {{"NAME", 'C', 20}});
  for (int n = 1; n <= 16383; ++n) {
    table.table().BlankRecord();
    table.table().SetFieldText("NAME", Numbered("K", n, 6));
    table.table().AppendRecord();
  }
  table.Index({TagDefinition("N", "NAME")});
  table.Append(Name("ZZZ"));
  XBobjCDXTag& tag = table.tag("N");
  XBobjIndexKey first = Node(tag, tag.header().root);
  XBobjIndexKey last = first;
  while (!first.leaf) {
    first = Node(tag, first.entries.front().pointer);
    last = Node(tag, last.entries.back().pointer);
  }
  const std::vector<std::uint8_t> bytes = table.IndexBytes();
  // Bytes per entry at 23, record bits at 20.
  EXPECT_EQ(bytes[first.page + 23], 3);
  EXPECT_EQ(bytes[first.page + 20], 14);
  EXPECT_EQ(bytes[last.page + 23], 4);
  EXPECT_EQ(bytes[last.page + 20], 22);
  EXPECT_EQ(last.entries.back().record, 16384);
  EXPECT_EQ(table.Disagreements(), "");
}

// A file open exclusively keeps the pages it reads and writes in memory: across chunks of
// pages and as the file grows, what it walks there is what the enciphered file holds.
TEST_F(CdxUpkeep, PagesKeptInMemoryAreWhatTheEncipheredFileHolds) {
  UpkeepTable table(sim, {{"NAME", 'C', 40}}, "q3#Lm9!");
  table.Index({TagDefinition("N", "NAME")});
  // Long keys that share little, so that the file spans several chunks.
  const auto longName = [](const char* prefix, int n) {
    return Numbered(prefix, n, 6) + std::string(30, static_cast<char>('a' + n % 26));
  };
  for (int n = 1; n <= 4000; ++n)
    ASSERT_TRUE(table.Append(Name(longName("K", n * 7919 % 4001))));
  for (int n = 1; n <= 4000; n += 3)
    table.Change(n, Name(longName("C", n)));
  ASSERT_GT(table.IndexBytes().size(), 2u * 64 * 1024);
  const Walked inMemory = WalkTag(table.tag("N"));
  table.Close();
  const auto stored = table.OpenTable(true);
  const auto index = table.OpenIndex(*stored, true);
  EXPECT_EQ(WalkTag(*index->TagByName("N")), inMemory);
  EXPECT_EQ(Faults(XbVerifyCdx(*index)), "");
}

TEST_F(CdxUpkeep, AChangeThatKeepsTheKeyLeavesTheTagUntouched) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}, {"QTY", 'N', 5}});
  table.Index({TagDefinition("N", "NAME")});
  for (int n = 1; n <= 50; ++n)
    table.Append(Name(Numbered("K", n, 6)));
  std::vector<std::uint8_t> before = table.IndexBytes();
  EXPECT_FALSE(table.Change(7, [](XBO_dBaseFld& t) { t.SetFieldNumber("QTY", 42); }));
  std::vector<std::uint8_t> after = table.IndexBytes();
  ASSERT_EQ(before.size(), after.size());
  // Only the directory's version moved on.
  EXPECT_EQ(after[8], before[8] + 1);
  std::fill(before.begin() + 8, before.begin() + 12, 0);
  std::fill(after.begin() + 8, after.begin() + 12, 0);
  EXPECT_EQ(before, after);
}

TEST_F(CdxUpkeep, AForConditionThatTurnsFalseRemovesTheEntryAndTrueBringsItBack) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}, {"QTY", 'N', 5}});
  table.Index({TagDefinition("P", "NAME", "QTY > 0")});
  const Fill positive = [](XBO_dBaseFld& t) { t.SetFieldNumber("QTY", 3); };
  table.Append([&](XBO_dBaseFld& t) { positive(t), t.SetFieldText("NAME", "A"); });
  table.Append([&](XBO_dBaseFld& t) { positive(t), t.SetFieldText("NAME", "B"); });
  EXPECT_TRUE(table.Change(1, [](XBO_dBaseFld& t) { t.SetFieldNumber("QTY", 0); }));
  EXPECT_EQ(WalkTag(table.tag("P")), (Walked{{"B", 2}}));
  EXPECT_FALSE(table.Change(1, Name("C"))) << "a record outside the FOR condition has no entry";
  EXPECT_TRUE(table.Change(1, positive));
  EXPECT_EQ(WalkTag(table.tag("P")), (Walked{{"B", 2}, {"C", 1}}));
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(CdxUpkeep, AChangedKeyMovesTheEntryAndEqualKeysStayInRecordOrder) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  for (const char* name : {"M", "A", "M", "Z"})
    table.Append(Name(name));
  EXPECT_TRUE(table.Change(4, Name("M")));
  EXPECT_TRUE(table.Change(1, Name("B")));
  EXPECT_EQ(WalkTag(table.tag("N")), (Walked{{"A", 2}, {"B", 1}, {"M", 3}, {"M", 4}}));
}

TEST_F(CdxUpkeep, AUniqueTagKeepsOneEntryForEveryKeyTheTableHolds) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}, {"QTY", 'N', 5}});
  XbTagDefinition unique = TagDefinition("U", "NAME");
  unique.unique = true;
  table.Index({unique});
  table.Append(Name("A"));
  EXPECT_FALSE(table.Append(Name("A"))) << "the second A is suppressed";
  EXPECT_FALSE(table.Change(2, [](XBO_dBaseFld& t) { t.SetFieldNumber("QTY", 5); }));
  EXPECT_EQ(WalkTag(table.tag("U")), (Walked{{"A", 1}}));
  EXPECT_TRUE(table.Change(2, Name("B")));
  EXPECT_EQ(WalkTag(table.tag("U")), (Walked{{"A", 1}, {"B", 2}}));
  table.Append(Name("C"));
  table.Append(Name("B"));
  table.Append(Name("C"));
  EXPECT_TRUE(table.Change(1, Name("B"))) << "A's entry goes; the B of record 2 stays";
  EXPECT_EQ(WalkTag(table.tag("U")), (Walked{{"B", 2}, {"C", 3}}));
  EXPECT_TRUE(table.Change(3, Name("D")));
  EXPECT_EQ(WalkTag(table.tag("U")), (Walked{{"B", 2}, {"C", 5}, {"D", 3}}))
      << "the next record holding C takes over its entry";
  EXPECT_EQ(table.table().currentRecord(), 3) << "the search for it puts the record back";
  EXPECT_EQ(CdxTrimBlanks(table.table().GetFieldText("NAME")), "D");
  EXPECT_TRUE(table.Change(2, Name("E")));
  EXPECT_EQ(WalkTag(table.tag("U")), (Walked{{"B", 1}, {"C", 5}, {"D", 3}, {"E", 2}}))
      << "the lowest of the records holding B takes over";
  EXPECT_EQ(Faults(XbVerifyCdx(table.index())), "");
}

TEST_F(CdxUpkeep, ATagEmptiedByDeletionsEndsAsAnEmptyRootLeafAndFillsAgain) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("L", "NAME", "!DELETED()")});
  constexpr int kCount = 700;
  for (int n = 1; n <= kCount; ++n)
    table.Append(Name(Numbered("K", n * 7 % 1000, 6)));
  XBobjCDXTag& tag = table.tag("L");
  ASSERT_FALSE(Node(tag, tag.header().root).leaf);
  std::vector<int> order(kCount);
  for (int n = 0; n < kCount; ++n)
    order[static_cast<std::size_t>(n)] = n + 1;
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_TRUE(table.Change(order[i], [](XBO_dBaseFld& t) { t.SetRecordDeleted(true); }));
    if (i % 100 == 0) {
      EXPECT_EQ(Faults(XbVerifyCdx(table.index())), "") << "after " << i;
    }
  }
  const XBobjIndexKey root = Node(tag, tag.header().root);
  EXPECT_TRUE(root.leaf);
  EXPECT_TRUE(root.root);
  EXPECT_TRUE(root.entries.empty());
  EXPECT_EQ(table.Disagreements(), "");
  EXPECT_TRUE(table.Change(5, [](XBO_dBaseFld& t) { t.SetRecordDeleted(false); }));
  EXPECT_EQ(WalkTag(tag).size(), 1u);
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(CdxUpkeep, KeysLongerThanTheKeyLengthAreCutToIt) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  table.Append(Name("A"));
  XbRecordChange change;
  change.record = 1;
  change.tags = {{true, "A", true, "ABCDEFGHIJKLMNOP"}};
  EXPECT_TRUE(table.index().ApplyRecordChange(change));
  EXPECT_EQ(WalkTag(table.tag("N")), (Walked{{"ABCDEFGHIJ", 1}}));
}

TEST_F(CdxUpkeep, AKeyExpressionThatFailsRaisesBeforeAnythingIsWritten) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}, {"QTY", 'N', 5}});
  table.Index({TagDefinition("N", "IIF(QTY > 5, QTY, NAME)")});
  table.Append(Name("A"));
  const std::vector<std::uint8_t> before = table.IndexBytes();
  table.table().ReadRecord(1);
  table.table().SetFieldNumber("QTY", 8);
  EXPECT_THROW(table.index().PrepareRecordChange(1, table.table().recordImage()), EXbaseError);
  EXPECT_EQ(table.IndexBytes(), before);
}

TEST_F(CdxUpkeep, ARecordChangeForAnotherTagListOrRecordIsRefused) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  XbRecordChange change;
  change.record = 1;
  EXPECT_THROW(table.index().ApplyRecordChange(change), EXbaseError);
  change.record = 0;
  change.tags.resize(1);
  EXPECT_THROW(table.index().ApplyRecordChange(change), EXbaseError);
}

TEST_F(CdxUpkeep, ADamagedSiblingChainIsReportedInsteadOfWrittenOver) {
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  for (int n = 1; n <= 400; ++n)
    table.Append(Name(Numbered("K", n, 6)));
  XBobjCDXTag& tag = table.tag("N");
  const XBobjIndexKey top = Node(tag, tag.header().root);
  ASSERT_GE(top.entries.size(), 3u);
  // The second leaf's left neighbour no longer names it as its right one.
  const std::uint32_t first = top.entries[0].pointer;
  std::vector<std::uint8_t> bytes = table.IndexBytes();
  bytes[first + 8] ^= 0x02;
  sim.WriteBytes(StorageTestMachine::Path("T.CDX"), bytes);
  const XBobjIndexKey second = Node(tag, top.entries[1].pointer);
  try {
    for (const XBobjIndexKeyData& entry : second.entries)
      table.Change(entry.record, Name("Z"));
    FAIL() << "emptying the leaf went through";
  } catch (const EXbaseError& error) {
    EXPECT_EQ(error.code(), kInvalidIndexCode);
    EXPECT_NE(std::string(error.what()).find("sibling"), std::string::npos) << error.what();
  }
}

struct RandomCase {
  const char* name;
  const char* key;
  int operations;
};

void PrintTo(const RandomCase& random, std::ostream* out) {
  *out << random.name;
}

class CdxRandomUpkeep : public ::testing::TestWithParam<RandomCase> {
 protected:
  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

// Names from a small pool, with long shared beginnings, so that keys repeat and leaves compress.
std::string RandomName(std::mt19937& random) {
  static const char* const kStems[] = {"SMITH", "SMITHSON", "SMYTHE", "JONES", "JOHNSON",
                                       "Ärger", "müller",   "Zimmer", "",      "A"};
  std::string name = kStems[random() % 10];
  if (random() % 3 != 0) name += " " + std::to_string(random() % 40);
  return name;
}

std::string RandomLong(std::mt19937& random) {
  std::string text(random() % 200 + 20, 'L');
  text += std::to_string(random() % 500);
  return text.substr(0, 239);
}

TEST_P(CdxRandomUpkeep, EveryTagEqualsAFreshBuildAfterThousandsOfRecordChanges) {
  UpkeepTable table(sim,
                    {{"NAME", 'C', 20},
                     {"NUM", 'N', 9, 2},
                     {"D", 'D', 8},
                     {"OK", 'L', 1},
                     {"ID", 'N', 7},
                     {"LONG", 'C', 239}},
                    GetParam().key);
  XbTagDefinition unique = TagDefinition("ID", "STR(ID, 7)");
  unique.unique = true;
  XbTagDefinition descending = TagDefinition("DAY", "D");
  descending.ascending = false;
  XbTagDefinition uniqueName = TagDefinition("UNAME", "UPPER(NAME)", "!DELETED()");
  uniqueName.unique = true;
  XbTagDefinition general = TagDefinition("GEN", "NAME");
  general.general = true;
  table.Index({TagDefinition("NAME", "UPPER(NAME)"), TagDefinition("NUM", "NUM"), descending,
               TagDefinition("OK", "OK"), unique, TagDefinition("LIVE", "NAME", "!DELETED()"),
               TagDefinition("LONG", "LONG"), general, uniqueName});
  std::mt19937 random(20261208);
  int nextId = 1;
  const auto fill = [&](XBO_dBaseFld& t) {
    switch (random() % 6) {
      case 0:
        t.SetFieldText("NAME", RandomName(random));
        break;
      case 1:
        t.SetFieldNumber("NUM", static_cast<double>(static_cast<int>(random() % 2001) - 1000) / 8);
        break;
      case 2:
        t.SetFieldDate("D", static_cast<std::int32_t>(2450000 + random() % 300));
        break;
      case 3:
        t.SetFieldLogical("OK", random() % 2 == 0);
        break;
      case 4:
        t.SetFieldNumber("ID", nextId++);
        break;
      default:
        t.SetFieldText("LONG", RandomLong(random));
        break;
    }
  };
  const auto fillAll = [&](XBO_dBaseFld& t) {
    t.SetFieldText("NAME", RandomName(random));
    t.SetFieldNumber("NUM", static_cast<double>(random() % 1000));
    t.SetFieldDate("D", static_cast<std::int32_t>(2450000 + random() % 300));
    t.SetFieldLogical("OK", random() % 2 == 0);
    t.SetFieldNumber("ID", nextId++);
    t.SetFieldText("LONG", RandomLong(random));
  };
  for (int i = 0; i < GetParam().operations; ++i) {
    const auto count = table.table().recordCount();
    const auto n = static_cast<std::int32_t>(random() % static_cast<unsigned>(count + 1)) + 1;
    const unsigned kind = random() % 10;
    if (count == 0 || kind < 4) {
      table.Append(fillAll);
    } else if (kind < 8) {
      table.Change(std::min(n, count), fill);
    } else {
      const bool deleted = kind == 8;
      table.Change(std::min(n, count), [&](XBO_dBaseFld& t) { t.SetRecordDeleted(deleted); });
    }
    if (i % 1000 == 999) {
      ASSERT_EQ(Faults(XbVerifyCdx(table.index())), "") << "after " << i;
    }
  }
  EXPECT_EQ(table.Disagreements(), "");
}

INSTANTIATE_TEST_SUITE_P(Tables, CdxRandomUpkeep,
                         ::testing::Values(RandomCase{"Plain", "", 3000},
                                           RandomCase{"Enciphered", "k3y!Upk", 1200}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tables::testing
