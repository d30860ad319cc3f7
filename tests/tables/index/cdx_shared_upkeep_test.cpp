// One compound file kept current by two writers that share it, each locking it around its
// record changes, and tags that step on after the tree changed under them.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {
namespace {

class CdxSharedUpkeep : public ::testing::Test {
 protected:
  // The file with tag N on NAME, and the records named, then two writers sharing both.
  void SetUp() override {
    setup.Index({TagDefinition("N", "NAME")});
    for (const char* name : {"K010", "K020", "K030", "K040", "K050"})
      setup.Append(Name(name));
    setup.Close();
    for (Writer& writer : writers) {
      writer.table = setup.OpenTable(true);
      writer.index = setup.OpenIndex(*writer.table, true);
    }
  }

  struct Writer {
    std::unique_ptr<XBO_dBaseFld> table;
    std::unique_ptr<XBobjCDXFile> index;

    void Append(const std::string& name) {
      index->Lock();
      UpkeepTable::Append(*table, *index, Name(name));
      index->Unlock();
    }
    void Change(std::int32_t n, const std::string& name) {
      index->Lock();
      UpkeepTable::Change(*table, *index, n, Name(name));
      index->Unlock();
    }
    std::string Step(int code) {
      XBobjIndexTag& tag = *index->TagByName("N");
      return tag.Move(code) == 0 ? "(none)" : tag.current()->key;
    }
  };

  TxbExpEngineScope expressions;
  StorageTestMachine sim;
  UpkeepTable setup{sim, {{"NAME", 'C', 10}}};
  Writer writers[2];
};

TEST_F(CdxSharedUpkeep, TwoWritersTakingTurnsLoseNoKeyAndNeverHandOutAPageTwice) {
  std::mt19937 random(11);
  std::size_t last = 0;
  for (int i = 0; i < 1500; ++i) {
    last = random() % 2;
    Writer& writer = writers[last];
    char name[16];
    std::snprintf(name, sizeof name, "W%07u", static_cast<unsigned>(random() % 10000000));
    if (i % 5 == 4) {
      writer.Change(static_cast<std::int32_t>(random() % 5) + 1, name);
    } else {
      writer.Append(name);
    }
  }
  EXPECT_FALSE(writers[last].index->HasChanged()) << "the last writer knows its change";
  EXPECT_TRUE(writers[1 - last].index->HasChanged());
  for (Writer& writer : writers) {
    writer.index.reset();
    writer.table.reset();
  }
  const auto table = setup.OpenTable(false);
  const auto index = setup.OpenIndex(*table, false);
  EXPECT_EQ(Faults(XbVerifyCdx(*index)), "");
  EXPECT_EQ(WalkTag(*index->TagByName("N")).size(), 1205u);
}

TEST_F(CdxSharedUpkeep, AWriterSeesTheOtherOnesChangeAndStepsFromWhereItStood) {
  Writer& reader = writers[0];
  Writer& other = writers[1];
  EXPECT_EQ(reader.Step(xb_move::First), "K010");
  EXPECT_EQ(reader.Step(xb_move::Next), "K020");
  EXPECT_FALSE(reader.index->HasChanged());
  other.Append("K025");
  EXPECT_TRUE(reader.index->HasChanged());
  EXPECT_EQ(reader.Step(xb_move::Next), "K025");
  other.Change(3, "K015");
  EXPECT_EQ(reader.Step(xb_move::Previous), "K020");
  EXPECT_EQ(reader.Step(xb_move::Previous), "K015");
  // The current entry itself goes: the step lands on what followed it.
  other.Change(3, "K099");
  EXPECT_EQ(reader.Step(xb_move::Next), "K020");
  other.Change(2, "K001");
  EXPECT_EQ(reader.Step(xb_move::Next), "K025");
  other.Change(6, "K000");
  EXPECT_EQ(reader.Step(xb_move::Previous), "K010");
}

TEST_F(CdxSharedUpkeep, ALookUpBetweenStepsDoesNotHideTheOtherWritersChange) {
  Writer& reader = writers[0];
  EXPECT_EQ(reader.Step(xb_move::First), "K010");
  EXPECT_EQ(reader.Step(xb_move::Next), "K020");
  writers[1].Append("K025");
  XBobjIndexTag& tag = *reader.index->TagByName("N");
  TxbVariant probe;
  probe.SetText("K040");
  EXPECT_EQ(tag.FindRecord(probe), 4);
  EXPECT_EQ(tag.current()->key, "K020") << "the look-up leaves the position";
  EXPECT_EQ(reader.Step(xb_move::Next), "K025");
}

TEST_F(CdxSharedUpkeep, ChangingASharedFileWithoutItsLockIsRefused) {
  Writer& writer = writers[0];
  writer.table->BlankRecord();
  const XbRecordChange change = writer.index->PrepareRecordChange(6, nullptr);
  writer.table->AppendRecord();
  EXPECT_THROW(writer.index->ApplyRecordChange(change), EXbaseError);
}

TEST(CdxOwnUpkeep, AStepAfterTheFilesOwnChangeStartsFromTheCurrentEntry) {
  TxbExpEngineScope expressions;
  StorageTestMachine sim;
  UpkeepTable table(sim, {{"NAME", 'C', 10}});
  table.Index({TagDefinition("N", "NAME")});
  for (const char* name : {"A", "B", "C", "E", "F"})
    table.Append(Name(name));
  XBobjIndexTag& tag = table.tag("N");
  tag.Move(xb_move::First);
  tag.Move(xb_move::Next);
  EXPECT_EQ(tag.Move(xb_move::Next), 3);
  table.Change(1, Name("D"));
  EXPECT_EQ(tag.Move(xb_move::Next), 1) << "the moved record is met again after C";
  table.Change(1, Name("A"));
  EXPECT_EQ(tag.Move(xb_move::Next), 4) << "the current entry went: its successor follows";
}

}  // namespace
}  // namespace tables::testing
