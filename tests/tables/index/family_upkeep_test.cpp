// Keeping NDX and MDX tags current through appends and changes: thousands of random record
// changes (key changes, FOR conditions turning, deletions) after which every tag walks as it
// should (equal keys in the order their entries came in), holds a fresh build's keys and passes
// the verifier; trees of several levels; drained key ranges that empty nodes and leave interior
// nodes with one pointer; the root block that stays; the header counts kept current; unique
// tags; emptied trees; and refusals that write nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/index/family_upkeep_support.hpp"

namespace tables::testing {
namespace {

XbTagDefinition Unique(XbTagDefinition definition) {
  definition.unique = true;
  return definition;
}

XbTagDefinition Descending(XbTagDefinition definition) {
  definition.ascending = false;
  return definition;
}

class FamilyUpkeep : public ::testing::Test {
 protected:
  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

const std::vector<XbFieldDef> kFields = {
    {"NAME", 'C', 40}, {"NUM", 'N', 8, 2}, {"D", 'D', 8}, {"FLAG", 'L', 1}};

// Random appends, key changes, FOR conditions turning both ways and deletions, in batches
// after each of which every file agrees with what it should hold.
void RunRandomChanges(FamilyUpkeepTable& table, unsigned seed, int batches) {
  std::mt19937 random(seed);
  const auto fill = [&](XBO_dBaseFld& t) {
    t.SetFieldText("NAME", Numbered("N", static_cast<int>(random() % 400)));
    t.SetFieldNumber("NUM", static_cast<double>(static_cast<int>(random() % 2000) - 1000) / 4);
    t.SetFieldDate("D",
                   random() % 10 == 0 ? 0 : static_cast<std::int32_t>(2451000 + random() % 900));
    t.SetFieldLogical("FLAG", random() % 2 == 0);
  };
  for (int batch = 0; batch < batches; ++batch) {
    for (int i = 0; i < 300; ++i) {
      const std::int32_t count = table.table().recordCount();
      const auto pick = random() % 10;
      if (count < 20 || pick < 4) {
        table.Append(fill);
      } else {
        const auto n = static_cast<std::int32_t>(random() % static_cast<unsigned>(count)) + 1;
        if (pick == 4) {
          table.Change(n, [&](XBO_dBaseFld& t) { t.SetRecordDeleted(!t.RecordDeleted()); });
        } else if (pick == 5) {
          table.Change(
              n, [&](XBO_dBaseFld& t) { t.SetFieldLogical("FLAG", !t.GetFieldLogical("FLAG")); });
        } else {
          table.Change(n, fill);
        }
      }
    }
    ASSERT_EQ(table.Disagreements(), "") << "after batch " << batch;
  }
}

TEST_F(FamilyUpkeep, RandomChangesKeepNdxFilesOfEveryKeyTypeAsAFreshBuild) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("NUM.NDX", {TagDefinition("NUM", "NUM")});
  table.AddIndex("DAY.NDX", {TagDefinition("DAY", "D")});
  table.AddIndex("ONCE.NDX", {Unique(TagDefinition("ONCE", "NAME"))});
  table.AddIndex("LIVE.NDX",
                 {TagDefinition("LIVE", "IIF(FLAG .AND. !DELETED(), NAME, 'X' + SPACE(39))")});
  RunRandomChanges(table, 7, 8);
  EXPECT_GE(FamilyUpkeepTable::Levels(table.tag(0, 0)), 3);
  EXPECT_GE(FamilyUpkeepTable::Levels(table.tag(1, 0)), 3);
}

TEST_F(FamilyUpkeep, RandomChangesKeepEveryTagOfAnMdxFileAsAFreshBuild) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("T.MDX", {TagDefinition("NAME", "NAME"), Descending(TagDefinition("NUM", "NUM")),
                           TagDefinition("DAY", "D"), Unique(TagDefinition("ONCE", "NAME")),
                           TagDefinition("LIVE", "NAME", "FLAG .AND. !DELETED()"),
                           Descending(TagDefinition("BACK", "NAME", "FLAG"))});
  RunRandomChanges(table, 11, 8);
  EXPECT_GE(FamilyUpkeepTable::Levels(table.tag(0, 0)), 3);
}

// Every record of one key range moved to keys far above it, then back: leaves and interior
// nodes empty and leave their parents, interior nodes left with one pointer merge with a
// neighbour, and the files agree with what they should hold at every step.
TEST_F(FamilyUpkeep, DrainedKeyRangesEmptyNodesAndMergeLonePointers) {
  FamilyUpkeepTable table(sim, kFields);
  for (int n = 1; n <= 1500; ++n)
    table.Append(Name(Numbered("A", n)));
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("T.MDX",
                 {TagDefinition("NAME", "NAME"), Descending(TagDefinition("BACK", "NAME"))});
  const int levels = FamilyUpkeepTable::Levels(table.tag(0, 0));
  ASSERT_GE(levels, 3);
  for (int n = 1; n <= 1500; ++n) {
    table.Change(n, Name(Numbered("Z", n)));
    if (n % 150 == 0) {
      ASSERT_EQ(table.Disagreements(), "") << "after " << n;
    }
  }
  for (int n = 1500; n >= 1; --n) {
    table.Change(n, Name(Numbered("B", n % 7)));
    if (n % 150 == 0) {
      ASSERT_EQ(table.Disagreements(), "") << "after " << n;
    }
  }
  EXPECT_LE(FamilyUpkeepTable::Levels(table.tag(0, 0)), levels);
}

// Keys of 40 bytes make 48-byte entries: 10 keys to a node, 11 pointers to an interior one. A
// leaf of 11 keys splits 6 + 5; an interior node of 12 pointers splits 6 + 6.
TEST_F(FamilyUpkeep, NodesSplitAtCountMinusHalfTheCount) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  XBobjFamilyTag& tag = table.tag(0, 0);
  const std::uint32_t root = tag.ReadRootOffset();
  const auto node = [&](std::uint32_t page) {
    XBobjIndexKey read;
    tag.ReadNode(page, read);
    return read;
  };
  const auto sizes = [&](const XBobjIndexKey& parent) {
    std::vector<std::size_t> counts;
    for (const XBobjIndexKeyData& entry : parent.entries)
      counts.push_back(node(entry.pointer).entries.size());
    return counts;
  };
  int n = 0;
  while (node(root).leaf)
    table.Append(Name(Numbered("K", ++n)));
  EXPECT_EQ(n, 11);
  EXPECT_EQ(sizes(node(root)), (std::vector<std::size_t>{6, 5}));
  while (node(node(root).entries.front().pointer).leaf)
    table.Append(Name(Numbered("K", ++n)));
  EXPECT_EQ(tag.ReadRootOffset(), root);
  EXPECT_EQ(sizes(node(root)), (std::vector<std::size_t>{6, 6}));
  EXPECT_EQ(table.Disagreements(), "");
}

// Pages of an enciphered table's index files are enciphered as they are written.
TEST_F(FamilyUpkeep, EncipheredFilesAreKeptCurrent) {
  FamilyUpkeepTable table(sim, kFields, "SECRET7");
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("T.MDX", {TagDefinition("NAME", "NAME"), Descending(TagDefinition("NUM", "NUM"))});
  RunRandomChanges(table, 3, 2);
  for (const char* file : {"NAME.NDX", "T.MDX"}) {
    const std::vector<std::uint8_t> bytes = table.Bytes(file);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("N00"), std::string::npos) << file << " holds keys in plain text";
  }
}

TEST_F(FamilyUpkeep, EqualKeysLieInTheOrderTheirEntriesCameIn) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("T.MDX", {TagDefinition("NAME", "NAME")});
  for (const char* name : {"B", "K", "A", "K", "C"})
    table.Append(Name(name));
  table.Change(1, Name("K"));
  table.Change(3, Name("K"));
  table.Change(2, Name("K"));  // its key stays: its entry keeps its place
  const Walked expected = {{"C", 5}, {"K", 2}, {"K", 4}, {"K", 1}, {"K", 3}};
  EXPECT_EQ(WalkTag(table.tag(0, 0)), expected);
  EXPECT_EQ(WalkTag(table.tag(1, 0)), expected);
  EXPECT_EQ(table.tag(0, 0).SeekEntry("K", 1), 1);
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(FamilyUpkeep, SplitsKeepTheRootBlockAndTheHeaderCountsCurrent) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("T.MDX", {TagDefinition("NAME", "NAME"), TagDefinition("NUM", "NUM")});
  const std::uint32_t ndxRoot = ReadLE32(table.Bytes("NAME.NDX").data());
  const auto mdxHeader = [&] { return table.Bytes("T.MDX"); };
  const std::uint32_t mdxRoot = ReadLE32(mdxHeader().data() + 2048);
  sim.clock().Advance(3 * 86400 * 1000u);
  for (int n = 1; n <= 600; ++n)
    table.Append([n](XBO_dBaseFld& t) {
      t.SetFieldText("NAME", Numbered("K", n));
      t.SetFieldNumber("NUM", n);
    });
  const std::vector<std::uint8_t> ndx = table.Bytes("NAME.NDX");
  EXPECT_EQ(ReadLE32(ndx.data()), ndxRoot);
  EXPECT_EQ(ReadLE32(ndx.data() + 4), ndx.size() / 512);
  EXPECT_GE(FamilyUpkeepTable::Levels(table.tag(0, 0)), 3);
  const std::vector<std::uint8_t> mdx = mdxHeader();
  EXPECT_EQ(ReadLE32(mdx.data() + 2048), mdxRoot);
  EXPECT_EQ(ReadLE32(mdx.data() + 32), mdx.size() / 512);
  // Created before the clock moved on, updated after.
  const CalendarDate today = XbDate().Split(XbDate().Today(sim.machine()));
  const std::vector<std::uint8_t> stamp = {static_cast<std::uint8_t>(today.year % 100),
                                           static_cast<std::uint8_t>(today.month),
                                           static_cast<std::uint8_t>(today.day)};
  EXPECT_EQ(std::vector(mdx.begin() + 44, mdx.begin() + 47), stamp);
  EXPECT_NE(std::vector(mdx.begin() + 1, mdx.begin() + 4), stamp);
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(FamilyUpkeep, AUniqueTagTakesTheNextRecordHoldingAKeyGivenUp) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("ONCE.NDX", {Unique(TagDefinition("ONCE", "NAME"))});
  table.AddIndex("T.MDX", {Unique(TagDefinition("ONCE", "NAME"))});
  for (const char* name : {"A", "B", "A", "A"})
    table.Append(Name(name));
  const Walked once = {{"A", 1}, {"B", 2}};
  EXPECT_EQ(WalkTag(table.tag(0, 0)), once);
  EXPECT_EQ(WalkTag(table.tag(1, 0)), once);
  table.Change(1, Name("C"));
  const Walked heir = {{"A", 3}, {"B", 2}, {"C", 1}};
  EXPECT_EQ(WalkTag(table.tag(0, 0)), heir);
  EXPECT_EQ(WalkTag(table.tag(1, 0)), heir);
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(FamilyUpkeep, AnEmptiedTreeEndsAsAnEmptyRootLeafAndGrowsAgain) {
  FamilyUpkeepTable table(sim, kFields);
  for (int n = 1; n <= 400; ++n)
    table.Append([n](XBO_dBaseFld& t) {
      t.SetFieldText("NAME", Numbered("K", n));
      t.SetFieldLogical("FLAG", true);
    });
  table.AddIndex("LIVE.NDX", {TagDefinition("LIVE", "IIF(FLAG, NAME, SPACE(40))")});
  table.AddIndex("T.MDX", {TagDefinition("LIVE", "NAME", "FLAG")});
  XBobjFamilyTag& ndx = table.tag(0, 0);
  XBobjFamilyTag& mdx = table.tag(1, 0);
  ASSERT_GE(FamilyUpkeepTable::Levels(mdx), 2);
  const std::uint32_t root = mdx.ReadRootOffset();
  for (int n = 400; n >= 1; --n)
    table.Change(n, [](XBO_dBaseFld& t) { t.SetFieldLogical("FLAG", false); });
  EXPECT_EQ(mdx.ReadRootOffset(), root);
  XBobjIndexKey node;
  mdx.ReadNode(root, node);
  EXPECT_TRUE(node.leaf);
  EXPECT_TRUE(node.entries.empty());
  EXPECT_EQ(WalkTag(ndx).size(), 400u);
  EXPECT_EQ(table.Disagreements(), "");
  for (int n = 1; n <= 200; ++n)
    table.Change(n, [](XBO_dBaseFld& t) { t.SetFieldLogical("FLAG", true); });
  EXPECT_EQ(WalkTag(mdx).size(), 200u);
  EXPECT_EQ(table.Disagreements(), "");
}

// Entries removed from the front until one leaf is left: the root, left with one pointer,
// takes over its child level by level and keeps its block.
TEST_F(FamilyUpkeep, ATreeDrainedToOneLeafGetsLowerOnItsRootBlock) {
  FamilyUpkeepTable table(sim, kFields);
  for (int n = 1; n <= 600; ++n)
    table.Append([n](XBO_dBaseFld& t) {
      t.SetFieldText("NAME", Numbered("K", n));
      t.SetFieldLogical("FLAG", true);
    });
  table.AddIndex("LIVE.NDX", {TagDefinition("LIVE", "IIF(FLAG, NAME, SPACE(40))")});
  table.AddIndex("T.MDX", {TagDefinition("LIVE", "NAME", "FLAG")});
  XBobjFamilyTag& mdx = table.tag(1, 0);
  ASSERT_GE(FamilyUpkeepTable::Levels(mdx), 3);
  const std::uint32_t root = mdx.ReadRootOffset();
  for (int n = 1; n <= 595; ++n) {
    table.Change(n, [](XBO_dBaseFld& t) { t.SetFieldLogical("FLAG", false); });
    if (n % 85 == 0) {
      ASSERT_EQ(table.Disagreements(), "") << "after " << n;
    }
  }
  EXPECT_EQ(FamilyUpkeepTable::Levels(mdx), 1);
  EXPECT_EQ(mdx.ReadRootOffset(), root);
  EXPECT_EQ(WalkTag(mdx).size(), 5u);
  EXPECT_EQ(table.Disagreements(), "");
}

// A tag standing on an entry while the tree changes under it (its own file's upkeep) steps on
// from that entry in the changed tree, among equal keys too.
TEST_F(FamilyUpkeep, ATagStepsOnFromItsEntryAfterTheTreeChangedUnderIt) {
  FamilyUpkeepTable table(sim, kFields);
  for (int n = 0; n < 300; n += 2)
    table.Append(Name(Numbered("K", n)));
  for (int n = 0; n < 3; ++n)
    table.Append(Name("M"));
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("T.MDX", {TagDefinition("NAME", "NAME")});
  for (int file = 0; file < 2; ++file) {
    XBobjFamilyTag& tag = table.tag(static_cast<std::size_t>(file), 0);
    ASSERT_EQ(tag.SeekKey(Numbered("K", 100), true), 51);
    ASSERT_EQ(tag.SeekKey("M", true), 151);
    ASSERT_EQ(tag.Move(xb_move::Next), 152);
    ASSERT_EQ(tag.SeekKey(Numbered("K", 100), true), 51);
  }
  for (int n = 1; n < 300; n += 2)
    table.Append(Name(Numbered("K", n)));
  for (int file = 0; file < 2; ++file) {
    XBobjFamilyTag& tag = table.tag(static_cast<std::size_t>(file), 0);
    EXPECT_EQ(tag.Move(xb_move::Next), 154 + 50) << "file " << file;
    EXPECT_EQ(tag.current()->key, Numbered("K", 101));
    ASSERT_EQ(tag.SeekKey("M", true), 151);
    EXPECT_EQ(tag.Move(xb_move::Next), 152);
  }
  for (int n = 0; n < 40; ++n)
    table.Append(Name(n % 2 == 0 ? "M" : Numbered("L", n)));
  for (int file = 0; file < 2; ++file) {
    XBobjFamilyTag& tag = table.tag(static_cast<std::size_t>(file), 0);
    EXPECT_EQ(tag.Move(xb_move::Next), 153) << "file " << file;
    EXPECT_EQ(tag.Move(xb_move::Next), 304);
  }
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(FamilyUpkeep, AKeyExpressionThatFailsRaisesBeforeAnythingIsWritten) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("MIX.NDX", {TagDefinition("MIX", "IIF(NUM > 5, NUM, NAME)")});
  table.AddIndex("T.MDX", {TagDefinition("MIX", "IIF(NUM > 5, NUM, NAME)")});
  table.Append(Name("A"));
  const std::vector<std::uint8_t> ndx = table.Bytes("MIX.NDX");
  const std::vector<std::uint8_t> mdx = table.Bytes("T.MDX");
  table.table().ReadRecord(1);
  table.table().SetFieldNumber("NUM", 8);
  EXPECT_THROW(table.file(0).PrepareRecordChange(1, table.table().recordImage()), EXbaseError);
  EXPECT_THROW(table.file(1).PrepareRecordChange(1, table.table().recordImage()), EXbaseError);
  EXPECT_EQ(table.Bytes("MIX.NDX"), ndx);
  EXPECT_EQ(table.Bytes("T.MDX"), mdx);
}

TEST_F(FamilyUpkeep, ARecordChangeForAnotherTagListOrRecordOrWithoutTheLockIsRefused) {
  FamilyUpkeepTable table(sim, kFields);
  table.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
  table.AddIndex("T.MDX", {TagDefinition("NAME", "NAME"), TagDefinition("NUM", "NUM")});
  for (std::size_t i = 0; i < 2; ++i) {
    XbRecordChange change;
    change.record = 1;
    EXPECT_THROW(table.file(i).ApplyRecordChange(change), EXbaseError);
    change.record = 0;
    change.tags.resize(static_cast<std::size_t>(table.file(i).TagCount()));
    EXPECT_THROW(table.file(i).ApplyRecordChange(change), EXbaseError);
  }
  table.Close();
  XBO_dBaseFld shared(sim.machine(), StorageTestMachine::Path("T.DBF"), true, true, "");
  XBobjMDXFile unlocked(shared, "T.MDX", "", XbIndexOpenMode{false, true, true});
  XbRecordChange change;
  change.record = 1;
  change.tags.resize(2);
  EXPECT_THROW(unlocked.ApplyRecordChange(change), EXbaseError);
  XBobjNDXFile readOnly(shared, "NAME.NDX", "", XbIndexOpenMode{false, true, false});
  change.tags.resize(1);
  readOnly.Lock();
  EXPECT_THROW(readOnly.ApplyRecordChange(change), EXbaseError);
  readOnly.Unlock();
}

}  // namespace
}  // namespace tables::testing
