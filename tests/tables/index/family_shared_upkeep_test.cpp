// One NDX and one MDX file kept current by two writers that share them, each locking them
// around its record changes: new blocks come from the header counts and the file sizes the other
// writer left, so no block is handed out twice and no key is lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/index/family_upkeep_support.hpp"

namespace tables::testing {
namespace {

const std::vector<XbFieldDef> kFields = {{"NAME", 'C', 40}, {"NUM", 'N', 8}};

struct SharedWriter {
  std::unique_ptr<XBO_dBaseFld> table;
  std::vector<std::unique_ptr<XBobjIndexFile>> files;

  // Writes record n (0: appends) under the index locks, as the handler does.
  void Write(std::int32_t n, const std::string& name, int number) {
    for (auto& file : files)
      file->Lock();
    std::vector<std::uint8_t> previous;
    if (n == 0) {
      table->BlankRecord();
    } else {
      table->ReadRecord(n);
      previous.assign(table->recordImage(), table->recordImage() + table->recordLength());
    }
    table->SetFieldText("NAME", name);
    table->SetFieldNumber("NUM", number);
    std::vector<XbRecordChange> changes;
    for (auto& file : files)
      changes.push_back(file->PrepareRecordChange(n == 0 ? table->recordCount() + 1 : n,
                                                  previous.empty() ? nullptr : previous.data()));
    if (n == 0) {
      table->AppendRecord();
    } else {
      table->WriteRecord(n);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
      changes[i].record = table->currentRecord();
      files[i]->ApplyRecordChange(changes[i]);
    }
    for (auto& file : files)
      file->Unlock();
  }
};

class FamilySharedUpkeep : public ::testing::Test {
 protected:
  // The files with the records named, then two writers sharing them.
  void SetUp() override {
    FamilyUpkeepTable setup(sim, kFields);
    for (int n = 1; n <= 5; ++n)
      setup.Append([n](XBO_dBaseFld& t) { t.SetFieldText("NAME", "K" + std::to_string(n)); });
    setup.AddIndex("NAME.NDX", {TagDefinition("NAME", "NAME")});
    setup.AddIndex("T.MDX", {TagDefinition("NAME", "NAME"), TagDefinition("NUM", "NUM")});
    setup.Close();
    for (SharedWriter& writer : writers) {
      writer.table = std::make_unique<XBO_dBaseFld>(
          sim.machine(), StorageTestMachine::Path("T.DBF"), true, true, "");
      const XbIndexOpenMode mode{false, true, true};
      writer.files.push_back(std::make_unique<XBobjNDXFile>(*writer.table, "NAME.NDX", "", mode));
      writer.files.push_back(std::make_unique<XBobjMDXFile>(*writer.table, "T.MDX", "", mode));
    }
  }

  void CloseWriters() {
    for (SharedWriter& writer : writers) {
      writer.files.clear();
      writer.table.reset();
    }
  }

  TxbExpEngineScope expressions;
  StorageTestMachine sim;
  SharedWriter writers[2];
};

TEST_F(FamilySharedUpkeep, TwoWritersTakingTurnsLoseNoKeyAndNeverHandOutABlockTwice) {
  std::mt19937 random(5);
  for (int i = 0; i < 900; ++i) {
    SharedWriter& writer = writers[random() % 2];
    char name[16];
    std::snprintf(name, sizeof name, "W%06u", static_cast<unsigned>(random() % 1000000));
    const auto count = static_cast<unsigned>(writer.table->recordCount());
    const auto n = i % 4 == 3 ? static_cast<std::int32_t>(random() % count) + 1 : 0;
    writer.Write(n, name, static_cast<int>(random() % 100000));
  }
  CloseWriters();
  XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path("T.DBF"), false, false, "");
  XBobjNDXFile ndx(table, "NAME.NDX", "", XbIndexOpenMode{false, false, false});
  XBobjMDXFile mdx(table, "T.MDX", "", XbIndexOpenMode{false, false, false});
  EXPECT_EQ(Faults(XbVerifyIndexFamily(ndx)), "");
  EXPECT_EQ(Faults(XbVerifyIndexFamily(mdx)), "");
  EXPECT_EQ(WalkTag(*ndx.TagByIndex(0)).size(), static_cast<std::size_t>(table.recordCount()));
  EXPECT_EQ(WalkTag(*mdx.TagByIndex(1)).size(), static_cast<std::size_t>(table.recordCount()));
  EXPECT_EQ(mdx.header().nextFreeUnit * kMdxUnit,
            sim.ReadBytes(StorageTestMachine::Path("T.MDX")).size());
}

// A tag added by a writer that has not seen the blocks the other one's changes took goes to
// blocks after them.
TEST_F(FamilySharedUpkeep, ATagAddedAfterTheOtherWritersChangesTakesFreeBlocks) {
  for (int n = 0; n < 200; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "A%05d", n);
    writers[0].Write(0, name, n);
  }
  writers[1].table->ReReadHeader();
  auto& mdx = dynamic_cast<XBobjMDXFile&>(*writers[1].files[1]);
  mdx.AddTag(TagDefinition("LATE", "NUM"));
  CloseWriters();
  XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path("T.DBF"), false, false, "");
  XBobjMDXFile check(table, "T.MDX", "", XbIndexOpenMode{false, false, false});
  EXPECT_EQ(check.TagCount(), 3);
  EXPECT_EQ(Faults(XbVerifyIndexFamily(check)), "");
}

}  // namespace
}  // namespace tables::testing
