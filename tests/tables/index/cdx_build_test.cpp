// Compound files made and changed here: the bare new file, tags built from tables of every key
// type and size, replacing, dropping and rebuilding tags, builds that fail, enciphered files,
// and the verifier's verdict on each.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_verifier.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/page_write_behind.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {
namespace {

struct Row {
  std::string name;
  double num = 0;
  std::int32_t day = 0;
};

class CdxBuild : public ::testing::Test {
 protected:
  void MakeTable(const std::vector<Row>& rows, const std::string& key = "") {
    tableKey = key;
    CreateTable(sim.machine(), StorageTestMachine::Path("T.DBF"), 0x03,
                {{"NAME", 'C', 12}, {"NUM", 'N', 10, 2}, {"D", 'D', 8}}, key);
    table = std::make_unique<XBO_dBaseFld>(sim.machine(), StorageTestMachine::Path("T.DBF"), false,
                                           true, key);
    for (const Row& row : rows) {
      table->BlankRecord();
      table->SetFieldText("NAME", row.name);
      table->SetFieldNumber("NUM", row.num);
      if (row.day > 0) table->SetFieldDate("D", row.day);
      table->AppendRecord();
    }
    table->BlankRecord();
  }

  std::unique_ptr<XBobjCDXFile> Open(bool writable = true, const std::string& name = "T.CDX") {
    return std::make_unique<XBobjCDXFile>(*table, name, tableKey,
                                          XbIndexOpenMode{true, false, writable});
  }

  static XbTagDefinition Tag(const std::string& name, const std::string& expression,
                             const std::string& forExpression = "") {
    XbTagDefinition definition;
    definition.name = name;
    definition.keyExpression = expression;
    definition.forExpression = forExpression;
    return definition;
  }

  static std::vector<std::int32_t> Walk(XBobjIndexTag& tag) {
    std::vector<std::int32_t> records;
    for (tag.Move(xb_move::First); tag.current(); tag.Move(xb_move::Next)) {
      records.push_back(tag.current()->record);
    }
    return records;
  }

  std::vector<std::uint8_t> IndexBytes() {
    return sim.ReadBytes(StorageTestMachine::Path("T.CDX"));
  }

  static std::string Faults(const XbIndexCheck& check) {
    std::string text;
    for (const auto& fault : check.faults) {
      text += fault.tag + " " + std::to_string(fault.page) + ": " + fault.description + "\n";
    }
    return text;
  }

  StorageTestMachine sim;
  TxbExpEngineScope expressions;
  std::string tableKey;
  std::unique_ptr<XBO_dBaseFld> table;
};

// Names of 12 random letters, numbers from -500 to 500 with repeats, every 7th date blank.
std::vector<Row> RandomRows(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<Row> rows;
  for (int i = 0; i < count; ++i) {
    Row row;
    for (int c = 0; c < 12; ++c)
      row.name += static_cast<char>('A' + random() % 26);
    row.num = static_cast<double>(static_cast<int>(random() % 1001) - 500) / 4;
    row.day = i % 7 == 0 ? 0 : 2450000 + static_cast<std::int32_t>(random() % 4000);
    rows.push_back(row);
  }
  return rows;
}

// Record numbers ordered by a key, ties by record number.
template <typename Key>
std::vector<std::int32_t> OrderBy(const std::vector<Row>& rows, Key key) {
  std::vector<std::int32_t> order(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i)
    order[i] = static_cast<std::int32_t>(i + 1);
  std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
    return key(rows[static_cast<std::size_t>(a - 1)]) < key(rows[static_cast<std::size_t>(b - 1)]);
  });
  return order;
}

TEST_F(CdxBuild, ANewFileIsTheBareLayoutAndMarksTheProductionIndex) {
  MakeTable({});
  auto index = Open();
  const std::vector<std::uint8_t> bytes = IndexBytes();
  ASSERT_EQ(bytes.size(), 1536u);
  EXPECT_EQ(ReadLE32(bytes.data()), 1024u);
  EXPECT_EQ(ReadLE16(bytes.data() + 12), 10);
  EXPECT_EQ(bytes[14], 0xE0);
  EXPECT_EQ(ReadLE16(bytes.data() + 502), 0);
  EXPECT_EQ(ReadLE16(bytes.data() + 504), 0);
  EXPECT_EQ(ReadLE16(bytes.data() + 506), 1);
  EXPECT_EQ(ReadLE16(bytes.data() + 510), 1);
  const std::uint8_t* root = bytes.data() + 1024;
  EXPECT_EQ(ReadLE16(root), 3);
  EXPECT_EQ(ReadLE16(root + 2), 0);
  EXPECT_EQ(ReadLE32(root + 4), 0xFFFFFFFFu);
  EXPECT_EQ(ReadLE32(root + 8), 0xFFFFFFFFu);
  EXPECT_EQ(ReadLE16(root + 12), 488);
  EXPECT_EQ(root[20], 16);
  EXPECT_EQ(root[21], 4);
  EXPECT_EQ(root[22], 4);
  EXPECT_EQ(root[23], 3);
  EXPECT_EQ(index->TagCount(), 0);
  EXPECT_EQ(table->tableFlags() & 0x01, 0x01);
}

TEST_F(CdxBuild, TagsOfEveryKeyTypeWalkInKeyOrder) {
  const std::vector<Row> rows = RandomRows(700, 7);
  MakeTable(rows);
  auto index = Open();
  index->AddTag(Tag("NAME", "NAME"));
  index->AddTag(Tag("NUM", "NUM"));
  index->AddTag(Tag("D", "D"));
  XbTagDefinition descending = Tag("NUMDESC", "NUM");
  descending.ascending = false;
  index->AddTag(descending);
  EXPECT_EQ(Walk(*index->TagByName("NAME")), OrderBy(rows, [](const Row& r) { return r.name; }));
  EXPECT_EQ(Walk(*index->TagByName("NUM")), OrderBy(rows, [](const Row& r) { return r.num; }));
  EXPECT_EQ(Walk(*index->TagByName("D")), OrderBy(rows, [](const Row& r) { return r.day; }));
  std::vector<std::int32_t> reversed = OrderBy(rows, [](const Row& r) { return r.num; });
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(Walk(*index->TagByName("NUMDESC")), reversed);
  const XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);

  // Reopened, the file reads the same; a numeric seek never matches by prefix.
  index.reset();
  index = Open(false);
  XBobjIndexTag& num = *index->TagByName("num");
  TxbVariant probe;
  probe.SetNumber(rows[10].num);
  EXPECT_EQ(num.Seek(probe, true),
            OrderBy(rows, [&](const Row& r) { return r.num != rows[10].num; }).front());
  probe.SetNumber(-1000);
  EXPECT_EQ(num.Seek(probe, false), 0);
}

TEST_F(CdxBuild, UniqueAndForTagsHoldTheRightRecords) {
  MakeTable({{"B", 1, 0}, {"A", -2, 0}, {"B", 3, 0}, {"A", -4, 0}, {"C", 0, 0}});
  auto index = Open();
  XbTagDefinition unique = Tag("U", "NAME");
  unique.unique = true;
  index->AddTag(unique);
  index->AddTag(Tag("POS", "NUM", "NUM > 0"));
  EXPECT_EQ(Walk(*index->TagByName("U")), (std::vector<std::int32_t>{2, 1, 5}));
  EXPECT_EQ(Walk(*index->TagByName("POS")), (std::vector<std::int32_t>{1, 3}));
  const XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);
}

TEST_F(CdxBuild, ManyRecordsMakeDeepTreesFromSeveralSortRuns) {
  const std::vector<Row> rows = RandomRows(30000, 11);
  MakeTable(rows);
  auto index = Open();
  index->AddTag(Tag("NAME", "NAME"));
  EXPECT_EQ(Walk(*index->TagByName("NAME")), OrderBy(rows, [](const Row& r) { return r.name; }));
  const XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);
}

TEST_F(CdxBuild, EveryTableSizeUpToSeveralNodesVerifiesClean) {
  // Somewhere in this sweep the last key exactly fills a leaf; the verifier checks that the
  // last node of every level still has no right sibling.
  const std::vector<Row> all = RandomRows(160, 3);
  for (std::size_t count = 0; count <= all.size(); count += 1) {
    table.reset();
    sim.machine().files().Remove(StorageTestMachine::Path("T.DBF"));
    sim.machine().files().Remove(StorageTestMachine::Path("T.CDX"));
    MakeTable(std::vector<Row>(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count)));
    auto index = Open();
    index->AddTag(Tag("NAME", "NAME"));
    index->AddTag(Tag("NUM", "NUM"));
    const XbIndexCheck check = XbVerifyCdx(*index);
    ASSERT_TRUE(check.clean()) << count << " records\n" << Faults(check);
    ASSERT_EQ(Walk(*index->TagByName("NAME")).size(), count);
  }
}

TEST_F(CdxBuild, KeysLongerThanTheKeyLengthAreCut) {
  MakeTable({{"AB", 0, 0}, {"ABCDEF", 0, 0}, {"A", 0, 0}});
  table->ReadRecord(1);
  auto index = Open();
  index->AddTag(Tag("T", "TRIM(NAME)"));
  XBobjCDXTag& tag = *index->CdxTagByName("T");
  EXPECT_EQ(tag.keyForm().keyLength, 2);
  EXPECT_EQ(Walk(tag), (std::vector<std::int32_t>{3, 1, 2}));
  const XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);
}

TEST_F(CdxBuild, TagNamesMatchExactlyWhenReplacingAndDropping) {
  MakeTable(RandomRows(50, 5));
  auto index = Open();
  index->AddTag(Tag("NUMPOS", "NUM", "NUM > 0"));
  const std::size_t before = IndexBytes().size();
  index->AddTag(Tag("NUM", "NUM"));
  EXPECT_NE(index->TagByName("NUMPOS"), nullptr);
  EXPECT_EQ(index->TagCount(), 2);
  EXPECT_FALSE(index->DropTag("NU"));
  index->AddTag(Tag("num", "-NUM"));  // replaces NUM; the old pages stay behind
  EXPECT_EQ(index->TagCount(), 2);
  EXPECT_GT(IndexBytes().size(), before);
  EXPECT_TRUE(index->DropTag("Num"));
  ASSERT_EQ(index->TagCount(), 1);
  EXPECT_EQ(index->TagByIndex(0)->name(), "NUMPOS");
  const XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);
}

TEST_F(CdxBuild, ABuildThatFailsLeavesTheFileAsItWas) {
  std::string kTooLong = "NAME";  // 21 times 12 characters
  for (int i = 1; i < 21; ++i)
    kTooLong += "+NAME";
  MakeTable({{"", 1, 0}, {"X", 2, 0}});
  table->ReadRecord(1);
  auto index = Open();
  index->AddTag(Tag("NAME", "NAME"));
  const std::vector<std::uint8_t> bytes = IndexBytes();
  EXPECT_THROW(index->AddTag(Tag("NAME", "NAME +")), EXbaseError);
  EXPECT_THROW(index->AddTag(Tag("NAME", "NAME", "NUM")), EXbaseError);
  EXPECT_THROW(index->AddTag(Tag("NAME", "TRIM(NAME)")), EXbaseError);  // key length 0
  EXPECT_THROW(index->AddTag(Tag("NAMELONGER1", "NAME")), EXbaseError);
  EXPECT_THROW(index->AddTag(Tag("BIG", kTooLong)), EXbaseError);
  EXPECT_EQ(IndexBytes(), bytes);
  EXPECT_EQ(Walk(*index->TagByName("NAME")), (std::vector<std::int32_t>{1, 2}));
  try {
    index->AddTag(Tag("BIG", kTooLong));
  } catch (const EXbaseError& error) {
    EXPECT_STREQ(error.what(), "Sort key length greater than 240 bytes");
  }
}

TEST_F(CdxBuild, RebuildPacksTheFileAndDroppingTheLastTagLeavesItBare) {
  const std::vector<Row> rows = RandomRows(400, 9);
  MakeTable(rows);
  auto index = Open();
  index->AddTag(Tag("NAME", "NAME"));
  index->AddTag(Tag("NUM", "NUM"));
  const std::size_t packed = IndexBytes().size();
  index->AddTag(Tag("NAME", "NAME"));
  EXPECT_GT(IndexBytes().size(), packed);
  index->Rebuild();
  EXPECT_LE(IndexBytes().size(), packed + 2 * 512);  // plus the two empty roots written first
  EXPECT_EQ(Walk(*index->TagByName("NAME")), OrderBy(rows, [](const Row& r) { return r.name; }));
  XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);
  EXPECT_TRUE(index->DropTag("NAME"));
  EXPECT_TRUE(index->DropTag("NUM"));
  EXPECT_EQ(IndexBytes().size(), 1536u);
  index.reset();
  index = Open(false);
  EXPECT_EQ(index->TagCount(), 0);
}

// Tree builds hand their pages over mostly in ascending order, some late (nodes of upper
// levels) and some far ahead; every page must reach the file with its own bytes, those of an
// enciphered table enciphered.
TEST_F(CdxBuild, PagesGatheredForWritingAllReachTheFile) {
  MakeTable({}, "q3#Lm9!");
  auto index = Open();
  std::vector<std::uint32_t> pages;
  for (int i = 0; i < 400; ++i)
    pages.push_back(index->AllocatePage());
  const auto bytesOf = [](std::size_t i) {
    return std::vector<std::uint8_t>(512, static_cast<std::uint8_t>(1 + i % 251));
  };
  XbPageWriteBehind writer(*index);
  std::vector<std::size_t> late;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i % 7 == 3 || i == 150) {
      late.push_back(i);
      continue;
    }
    writer.Write(pages[i], bytesOf(i).data());
    if (i % 40 == 39 && !late.empty()) {
      writer.Write(pages[late.front()], bytesOf(late.front()).data());
      late.erase(late.begin());
    }
  }
  for (std::size_t i : late)
    writer.Write(pages[i], bytesOf(i).data());
  writer.Flush();
  std::vector<std::uint8_t> read(512);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    index->ReadBlock(pages[i], read.data(), 512);
    EXPECT_EQ(read, bytesOf(i)) << "page " << i;
  }
  const std::vector<std::uint8_t> stored = IndexBytes();
  ASSERT_GE(stored.size(), pages.back() + 512u);
  EXPECT_NE(std::vector<std::uint8_t>(stored.begin() + pages[5], stored.begin() + pages[5] + 512),
            bytesOf(5));
}

// A file opened exclusively keeps the pages it read; a rebuild writes new trees over the same
// pages, and the seeks after it must use the new nodes.
TEST_F(CdxBuild, SeeksAfterARebuildUseTheRewrittenNodes) {
  const std::vector<Row> rows = RandomRows(3000, 21);
  MakeTable(rows);
  auto index = Open();
  index->AddTag(Tag("NAME", "NAME"));
  XBobjIndexTag& tag = *index->TagByName("NAME");
  const auto seekName = [&](const std::string& name) {
    TxbVariant value;
    value.SetText(name);
    return tag.Seek(value, true);
  };
  for (std::size_t i = 0; i < rows.size(); i += 97)
    EXPECT_EQ(seekName(rows[i].name), static_cast<std::int32_t>(i + 1));
  const std::vector<Row> renamed = RandomRows(3000, 22);
  for (std::int32_t n = 1; n <= static_cast<std::int32_t>(renamed.size()); ++n) {
    table->ReadRecord(n);
    table->SetFieldText("NAME", renamed[static_cast<std::size_t>(n - 1)].name);
    table->WriteRecord(n);
  }
  index->Rebuild();
  for (std::size_t i = 0; i < renamed.size(); i += 97) {
    EXPECT_EQ(seekName(renamed[i].name), static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(seekName(rows[i].name), 0);
  }
}

TEST_F(CdxBuild, AnEncryptedTablesIndexIsEncipheredPageByPage) {
  const std::vector<Row> rows = RandomRows(300, 4);
  MakeTable(rows, "q3#Lm9!");
  auto index = Open();
  index->AddTag(Tag("NAME", "UPPER(NAME)"));
  index.reset();
  std::vector<std::uint8_t> bytes = IndexBytes();
  EXPECT_NE(bytes[14], 0xE0);
  TransformBlock("q3#Lm9!", bytes.data(), bytes.data(), 512, false);
  EXPECT_EQ(bytes[14], 0xE0);
  index = Open(true);
  EXPECT_EQ(Walk(*index->TagByName("NAME")), OrderBy(rows, [](const Row& r) { return r.name; }));
  XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);

  index->ReKey("");
  EXPECT_EQ(IndexBytes()[14], 0xE0);
  index.reset();
  tableKey = "";
  table.reset();
  table = std::make_unique<XBO_dBaseFld>(sim.machine(), StorageTestMachine::Path("T.DBF"), false,
                                         false, "q3#Lm9!");
  index = std::make_unique<XBobjCDXFile>(*table, "T.CDX", "", XbIndexOpenMode{false, false, false});
  EXPECT_EQ(Walk(*index->TagByName("NAME")).size(), rows.size());
}

TEST_F(CdxBuild, GeneralCollationOrdersLettersWithoutRegardToCase) {
  MakeTable({{"b", 0, 0}, {"A", 0, 0}, {"a", 0, 0}, {"B", 0, 0}, {"\xE9t\xE9", 0, 0}, {"f", 0, 0}});
  auto index = Open();
  XbTagDefinition general = Tag("G", "NAME");
  general.general = true;
  index->AddTag(general);
  XBobjCDXTag& tag = *index->CdxTagByName("G");
  EXPECT_EQ(tag.keyForm().keyLength, 24);
  EXPECT_TRUE(tag.header().general);
  EXPECT_EQ(Walk(tag), (std::vector<std::int32_t>{2, 3, 1, 4, 5, 6}));
  const XbIndexCheck check = XbVerifyCdx(*index);
  EXPECT_TRUE(check.clean()) << Faults(check);
  index.reset();
  EXPECT_EQ(IndexBytes()[2 * 512 + 512 + 15], 2);  // the tag header's signature
}

TEST_F(CdxBuild, AVersionWrittenByAnotherProgramIsNoticed) {
  MakeTable({});
  auto index =
      std::make_unique<XBobjCDXFile>(*table, "T.CDX", "", XbIndexOpenMode{true, true, true});
  EXPECT_FALSE(index->HasChanged());
  std::vector<std::uint8_t> bytes = IndexBytes();
  WriteLE32(bytes.data() + 8, 5);
  sim.WriteBytes(StorageTestMachine::Path("T.CDX"), bytes);
  EXPECT_TRUE(index->HasChanged());
}

TEST_F(CdxBuild, ARenamedFileKeepsItsExtensionAndItsTags) {
  MakeTable(RandomRows(30, 8));
  auto index = Open();
  index->AddTag(Tag("NAME", "NAME"));
  index->Rename("OTHER.XYZ");
  EXPECT_EQ(index->path(), StorageTestMachine::Path("OTHER.CDX"));
  EXPECT_FALSE(sim.machine().files().Exists(StorageTestMachine::Path("T.CDX")));
  EXPECT_EQ(Walk(*index->TagByName("NAME")).size(), 30u);
  index.reset();
  index = Open(false, "OTHER");
  EXPECT_EQ(index->TagCount(), 1);
  EXPECT_FALSE(index->IsProductionIndex());
}

TEST_F(CdxBuild, AMissingFileIsCreatedOnlyWhenAsked) {
  MakeTable({});
  try {
    XBobjCDXFile index(*table, "NONE", "", XbIndexOpenMode{false, true, true});
    FAIL() << "opened";
  } catch (const EXbaseError& error) {
    EXPECT_EQ(error.code(), xb_code::FileNotFound);
    EXPECT_NE(std::string(error.what()).find("NONE.CDX"), std::string::npos);
  }
  EXPECT_FALSE(sim.machine().files().Exists(StorageTestMachine::Path("NONE.CDX")));
}

}  // namespace
}  // namespace tables::testing

namespace tables::testing {
namespace {

TEST_F(CdxBuild, ARebuildThatStopsPartWayKeepsEveryTagDefined) {
  MakeTable({{"A", 1, 0}, {"B", 2, 0}});
  table->ReadRecord(1);
  auto index = Open();
  index->AddTag(Tag("MIX", "IIF(NUM > 0, NAME, NUM)"));
  index->AddTag(Tag("NAME", "NAME"));
  // Another program makes record 2 give a number where the tag holds text.
  table->ReadRecord(2);
  table->SetFieldNumber("NUM", -2);
  table->WriteRecord(2);
  EXPECT_THROW(index->Rebuild(), EXbaseError);
  index.reset();
  table->ReadRecord(1);  // the key type is learnt from the current record
  index = Open(false);
  ASSERT_EQ(index->TagCount(), 2);
  EXPECT_EQ(index->CdxTagByName("MIX")->header().keyExpression, "IIF(NUM > 0, NAME, NUM)");
  EXPECT_EQ(Walk(*index->TagByName("MIX")).size(), 0u);
}

TEST_F(CdxBuild, SharedFilesTakeTheirLocksAndAShortOneIsNotLaidOut) {
  MakeTable(RandomRows(20, 2));
  auto index =
      std::make_unique<XBobjCDXFile>(*table, "S.CDX", "", XbIndexOpenMode{true, true, true});
  index->AddTag(Tag("NAME", "NAME"));
  EXPECT_EQ(index->diskFile().lockCount(), 0);
  EXPECT_TRUE(index->DropTag("NAME"));
  EXPECT_EQ(sim.ReadBytes(StorageTestMachine::Path("S.CDX")).size(), 1536u);
  index.reset();

  const std::vector<std::uint8_t> shortFile(100, 0);
  sim.WriteBytes(StorageTestMachine::Path("S.CDX"), shortFile);
  try {
    XBobjCDXFile shared(*table, "S.CDX", "", XbIndexOpenMode{false, true, true});
    FAIL() << "opened";
  } catch (const EXbaseError& error) {
    EXPECT_EQ(error.code(), kInvalidIndexCode);
  }
  EXPECT_EQ(sim.ReadBytes(StorageTestMachine::Path("S.CDX")), shortFile);
  XBobjCDXFile exclusive(*table, "S.CDX", "", XbIndexOpenMode{false, false, true});
  EXPECT_EQ(sim.ReadBytes(StorageTestMachine::Path("S.CDX")).size(), 1536u);
}

// Damaged copies of a Harbour file: every single damaged byte either opens and walks or gives an
// engine error; nothing crashes or runs on without end.
TEST(CdxDamage, NoDamagedByteCrashesOpeningWalkingOrVerifying) {
  StorageTestMachine sim;
  TxbExpEngineScope expressions;
  for (const char* name : {"hb_cdx_small.dbf", "hb_cdx_small.fpt", "hb_cdx_small.cdx"}) {
    sim.CopyFixture(name);
  }
  const std::string path = StorageTestMachine::Path("hb_cdx_small.cdx");
  const std::vector<std::uint8_t> original = sim.ReadBytes(path);
  XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path("hb_cdx_small.dbf"), false, false, "");
  std::mt19937 random(17);
  int opened = 0;
  int refused = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<std::uint8_t> damaged = original;
    for (int hit = 0; hit < 3; ++hit) {
      damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    }
    sim.WriteBytes(path, damaged);
    try {
      XBobjCDXFile index(table, path, "", XbIndexOpenMode{false, true, false});
      ++opened;
      XbVerifyCdx(index);
      for (int i = 0; i < index.TagCount(); ++i) {
        XBobjIndexTag& tag = *index.TagByIndex(i);
        int steps = 0;
        for (tag.Move(xb_move::Last); tag.current() && steps < 10000; tag.Move(xb_move::Previous)) {
          ++steps;
        }
        EXPECT_LT(steps, 10000);
      }
    } catch (const EXbaseError&) {
      ++refused;
    }
  }
  EXPECT_GT(opened, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace tables::testing
