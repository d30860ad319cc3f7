// Keeping an NTX tag current through appends and changes: where pages split and what goes up,
// the root page that stays, equal keys in the order they came in, unique tags, a FOR condition
// that empties the tree and fills it again, the version counter, and a file Harbour wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/index/ntx_upkeep_support.hpp"

namespace tables::testing {
namespace {

NtxStoredPage PageAt(const std::vector<std::uint8_t>& bytes, const NtxHeader& header,
                     std::uint32_t page) {
  return NtxReadPage(header, bytes.data() + page);
}

std::uint16_t StoredVersion(const std::vector<std::uint8_t>& bytes) {
  return ReadLE16(bytes.data() + 2);
}

std::vector<std::int32_t> RecordsOf(const Walked& walked, const std::string& key) {
  std::vector<std::int32_t> records;
  for (const auto& [entryKey, record] : walked) {
    if (entryKey == key) records.push_back(record);
  }
  return records;
}

class NtxUpkeep : public ::testing::Test {
 protected:
  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

TEST_F(NtxUpkeep, AFullRootLeafSplitsAtCountMinusHalfAndKeepsItsPage) {
  // Key length 6: at most 62 keys a page, half 31.
  NtxUpkeepTable table(sim, {{"NAME", 'C', 6}});
  table.Index(TagDefinition("T", "NAME"));
  const NtxHeader& header = table.tag().header();
  ASSERT_EQ(header.maxKeys, 62);
  const std::uint32_t root = header.root;
  for (int n = 1; n <= 62; ++n)
    ASSERT_TRUE(table.Append(Name(Numbered("K", n))));
  EXPECT_TRUE(PageAt(table.IndexBytes(), header, root).leaf);
  ASSERT_TRUE(table.Append(Name(Numbered("K", 63))));

  const std::vector<std::uint8_t> bytes = table.IndexBytes();
  EXPECT_EQ(ReadLE32(bytes.data() + 4), root) << "the header's root offset";
  const NtxStoredPage top = PageAt(bytes, header, root);
  ASSERT_FALSE(top.leaf);
  ASSERT_EQ(top.entries.size(), 2u) << "one key and the child after it";
  // 63 entries: the first 63 - 31 = 32 leave, the last of them going up.
  EXPECT_EQ(top.entries[0].key, "K00032");
  EXPECT_EQ(top.entries[0].record, 32u);
  const NtxStoredPage left = PageAt(bytes, header, top.entries[0].child);
  const NtxStoredPage right = PageAt(bytes, header, top.entries[1].child);
  ASSERT_EQ(left.entries.size(), 31u);
  ASSERT_EQ(right.entries.size(), 31u);
  EXPECT_EQ(left.entries.back().key, "K00031");
  EXPECT_EQ(right.entries.front().key, "K00033");
  EXPECT_EQ(bytes.size(), 4u * kNtxPageSize) << "two new pages at the end of the file";
  EXPECT_EQ(table.Disagreements(), "");

  // The root's own entry leaves: the entry before it, the left leaf's last, takes its place.
  ASSERT_TRUE(table.Change(32, Name("Z")));
  const std::vector<std::uint8_t> after = table.IndexBytes();
  const NtxStoredPage changedTop = PageAt(after, header, root);
  EXPECT_EQ(changedTop.entries[0].key, "K00031");
  EXPECT_EQ(PageAt(after, header, top.entries[0].child).entries.size(), 30u);
  EXPECT_EQ(PageAt(after, header, top.entries[1].child).entries.back().key, "Z     ");
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(NtxUpkeep, ADamagedTreeIsReportedNamingItsPageAndNotWrittenInto) {
  NtxUpkeepTable table(sim, {{"NAME", 'C', 6}});
  table.Index(TagDefinition("T", "NAME"));
  for (int n = 1; n <= 63; ++n)
    ASSERT_TRUE(table.Append(Name(Numbered("K", n))));
  const NtxHeader header = table.tag().header();
  const std::vector<std::uint8_t> good = table.IndexBytes();
  table.CloseIndex();
  const std::uint32_t slot0 = header.root + ReadLE16(good.data() + header.root + 2);
  const std::uint32_t leftLeaf = ReadLE32(good.data() + slot0);
  struct Damage {
    const char* what;
    std::uint32_t at;
    std::uint32_t value;
    bool word;
    const char* reason;
  };
  for (const Damage& damage :
       {Damage{"a child beyond the end", slot0, 64 * kNtxPageSize, false, "outside the file"},
        Damage{"a child that is the root", slot0, header.root, false, "leads back"},
        Damage{"slots sharing space", leftLeaf + 2 + 2 * 40, ReadLE16(good.data() + leftLeaf + 2),
               true, "share the entry space"},
        Damage{"a key count above the maximum", leftLeaf, 63, true, "claims 63 keys"}}) {
    std::vector<std::uint8_t> bytes = good;
    if (damage.word) {
      WriteLE16(bytes.data() + damage.at, static_cast<std::uint16_t>(damage.value));
    } else {
      WriteLE32(bytes.data() + damage.at, damage.value);
    }
    sim.WriteBytes(StorageTestMachine::Path("T.NTX"), bytes);
    const auto index = table.OpenIndex(table.table(), false);
    try {
      UpkeepTable::Change(table.table(), *index, 1, Name("K00000"));
      ADD_FAILURE() << damage.what << ": nothing raised";
    } catch (const EXbaseError& error) {
      EXPECT_EQ(error.code(), kInvalidIndexCode) << damage.what;
      EXPECT_NE(std::string(error.what()).find(damage.reason), std::string::npos)
          << damage.what << ": " << error.what();
    }
    const std::vector<std::uint8_t> after = sim.ReadBytes(StorageTestMachine::Path("T.NTX"));
    EXPECT_TRUE(std::equal(after.begin() + kNtxPageSize, after.end(), bytes.begin() + kNtxPageSize,
                           bytes.end()))
        << damage.what << ": a page was written";
  }
}

TEST_F(NtxUpkeep, EqualKeysStayInTheOrderTheyCameIn) {
  NtxUpkeepTable table(sim, {{"NAME", 'C', 6}});
  table.Index(TagDefinition("T", "NAME"));
  for (const char* name : {"B", "A", "B", "B"})
    table.Append(Name(name));
  EXPECT_TRUE(table.Change(1, Name("C")));
  EXPECT_TRUE(table.Change(1, Name("B")));
  EXPECT_EQ(RecordsOf(WalkTag(table.tag()), "B"), (std::vector<std::int32_t>{3, 4, 1}));
  EXPECT_FALSE(table.Change(3, [](XBO_dBaseFld& t) { t.SetRecordDeleted(true); }))
      << "a change that keeps the key changes nothing";
  EXPECT_EQ(table.tag().SeekKey("B", true), 3);

  // Equal keys over many pages: entries taken out of their middle and put back at their end.
  for (int n = 5; n <= 400; ++n)
    table.Append(Name(n % 5 == 0 ? "Z" : "M"));
  for (int n = 10; n <= 400; n += 20)
    ASSERT_TRUE(table.Change(n, Name("M")));
  const std::vector<std::int32_t> zulus = RecordsOf(WalkTag(table.tag()), "Z");
  ASSERT_FALSE(zulus.empty());
  EXPECT_TRUE(std::is_sorted(zulus.begin(), zulus.end()));
  const std::vector<std::int32_t> mikes = RecordsOf(WalkTag(table.tag()), "M");
  EXPECT_EQ(mikes.back(), 390) << "the changed records came last, in the order changed";
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(NtxUpkeep, AUniqueTagKeepsOneRecordForAKeyAndPassesItOnWhenThatRecordLeaves) {
  NtxUpkeepTable table(sim, {{"NAME", 'C', 6}});
  table.Index([] {
    XbTagDefinition definition = TagDefinition("T", "NAME");
    definition.unique = true;
    return definition;
  }());
  EXPECT_TRUE(table.Append(Name("A")));
  EXPECT_FALSE(table.Append(Name("A"))) << "the key is held already";
  EXPECT_TRUE(table.Append(Name("C")));
  EXPECT_EQ(WalkTag(table.tag()), (Walked{{"A", 1}, {"C", 3}}));
  EXPECT_TRUE(table.Change(1, Name("B")));
  EXPECT_EQ(WalkTag(table.tag()), (Walked{{"A", 2}, {"B", 1}, {"C", 3}}));
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(NtxUpkeep, AForConditionEmptiesADeepTreeAndFillsItAgain) {
  // Key length 100: at most 8 keys a page, so 300 entries make a tree of four levels.
  NtxUpkeepTable table(sim, {{"NAME", 'C', 100}, {"FLAG", 'L', 1}});
  for (int n = 1; n <= 300; ++n) {
    table.table().BlankRecord();
    table.table().SetFieldText("NAME", Numbered("K", (n * 37) % 301));
    table.table().SetFieldLogical("FLAG", true);
    table.table().AppendRecord();
  }
  table.Index(TagDefinition("T", "NAME", "FLAG"));
  const std::uint32_t root = table.tag().header().root;
  std::vector<std::int32_t> order(300);
  for (int n = 0; n < 300; ++n)
    order[static_cast<std::size_t>(n)] = n + 1;
  std::mt19937 random(11);
  for (const bool flag : {false, true}) {
    std::shuffle(order.begin(), order.end(), random);
    for (std::size_t i = 0; i < order.size(); ++i) {
      ASSERT_TRUE(
          table.Change(order[i], [flag](XBO_dBaseFld& t) { t.SetFieldLogical("FLAG", flag); }));
      if (i % 30 == 29) {
        ASSERT_EQ(table.Disagreements(), "") << "after " << i + 1 << " changes";
      }
    }
    if (!flag) {
      const NtxStoredPage emptied = PageAt(table.IndexBytes(), table.tag().header(), root);
      EXPECT_TRUE(emptied.leaf);
      EXPECT_TRUE(emptied.entries.empty());
      EXPECT_EQ(table.tag().Move(xb_move::First), 0);
    }
  }
  EXPECT_EQ(WalkTag(table.tag()).size(), 300u);
  EXPECT_EQ(table.Disagreements(), "");
}

TEST_F(NtxUpkeep, EveryRecordChangeAdvancesTheVersionCounterWhichWrapsTo1) {
  NtxUpkeepTable table(sim, {{"NAME", 'C', 6}, {"QTY", 'N', 4}});
  table.Index(TagDefinition("T", "NAME"));
  const std::uint16_t start = StoredVersion(table.IndexBytes());
  table.Append(Name("A"));
  EXPECT_EQ(StoredVersion(table.IndexBytes()), start + 1);
  EXPECT_FALSE(table.Change(1, [](XBO_dBaseFld& t) { t.SetFieldNumber("QTY", 5); }));
  EXPECT_EQ(StoredVersion(table.IndexBytes()), start + 2) << "a change of another field too";
  EXPECT_EQ(table.index().version(), start + 2);

  std::vector<std::uint8_t> bytes = table.IndexBytes();
  table.CloseIndex();
  WriteLE16(bytes.data() + 2, 32766);
  sim.WriteBytes(StorageTestMachine::Path("T.NTX"), bytes);
  const auto reopened = table.OpenIndex(table.table(), false);
  const Fill rename = Name("B");
  UpkeepTable::Change(table.table(), *reopened, 1, rename);
  EXPECT_EQ(StoredVersion(table.IndexBytes()), 32767);
  UpkeepTable::Append(table.table(), *reopened, rename);
  EXPECT_EQ(StoredVersion(table.IndexBytes()), 1);
  EXPECT_EQ(WalkTag(*reopened->NtxTag()), (Walked{{"B", 1}, {"B", 2}}));
}

TEST_F(NtxUpkeep, AChangeThatCannotBeEnteredIsRefusedWithItsReason) {
  NtxUpkeepTable table(sim, {{"NAME", 'C', 6}});
  table.Index(TagDefinition("T", "NAME"));
  XbRecordChange change = table.index().PrepareRecordChange(1, nullptr);
  change.record = 0;
  EXPECT_THROW(
      {
        try {
          table.index().ApplyRecordChange(change);
        } catch (const EXbaseError& error) {
          EXPECT_NE(std::string(error.what()).find("record number 0"), std::string::npos);
          throw;
        }
      },
      EXbaseError);
  // Shared, the file must be locked by the writer.
  const auto shared = table.OpenIndex(table.table(), true, "S.NTX");
  shared->AddTag(TagDefinition("S", "NAME"));
  change.record = 1;
  EXPECT_THROW(shared->ApplyRecordChange(change), EXbaseError);
  shared->Lock();
  EXPECT_TRUE(shared->ApplyRecordChange(change));
  shared->Unlock();
}

TEST_F(NtxUpkeep, FilesHarbourWroteAreKeptCurrent) {
  const std::vector<std::string> names = {"hb_ntx_2k_site.ntx", "hb_ntx_2k_num.ntx",
                                          "hb_ntx_2k_d.ntx"};
  for (const char* file : {"hb_ntx_2k.dbf", "hb_ntx_2k.dbt"})
    sim.CopyFixture(file);
  for (const std::string& name : names)
    sim.CopyFixture(name);
  XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path("hb_ntx_2k.dbf"), false, true, "");
  std::vector<std::unique_ptr<XBobjNTXFile>> files;
  for (const std::string& name : names)
    files.push_back(
        std::make_unique<XBobjNTXFile>(table, name, "", XbIndexOpenMode{false, false, true}));
  std::mt19937 random(5);
  for (int n = 0; n < 400; ++n) {
    const bool append = n % 4 == 0;
    const std::int32_t record =
        append ? table.recordCount() + 1 : static_cast<std::int32_t>(random() % 2000 + 1);
    std::vector<std::uint8_t> previous;
    if (append) {
      table.BlankRecord();
    } else {
      table.ReadRecord(record);
      previous.assign(table.recordImage(), table.recordImage() + table.recordLength());
    }
    table.SetFieldText("SITE", "www.changed" + std::to_string(random() % 500) + ".example");
    table.SetFieldNumber("NUM", static_cast<double>(random() % 20000) / 100 - 50);
    table.SetFieldDate("D", static_cast<std::int32_t>(2450000 + random() % 4000));
    std::vector<XbRecordChange> changes;
    for (const auto& file : files)
      changes.push_back(file->PrepareRecordChange(record, append ? nullptr : previous.data()));
    if (append) {
      table.AppendRecord();
    } else {
      table.WriteRecord(record);
    }
    for (std::size_t i = 0; i < files.size(); ++i)
      files[i]->ApplyRecordChange(changes[i]);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    XBobjNTXFile& index = *files[i];
    EXPECT_EQ(Faults(XbVerifyIndexFamily(index)), "") << names[i];
    XBobjNTXFile fresh(table, "FRESH.NTX", "", XbIndexOpenMode{true, false, true});
    fresh.AddTag(TagDefinition("F", index.NtxTag()->facts().keyExpression));
    Walked kept = WalkTag(*index.NtxTag());
    Walked built = WalkTag(*fresh.NtxTag());
    std::sort(kept.begin(), kept.end());
    std::sort(built.begin(), built.end());
    EXPECT_EQ(kept, built) << names[i];
  }
}

}  // namespace
}  // namespace tables::testing
