// Record writes through the handler with a compound file open: its tags follow every append,
// change, deletion and recall, and a move after writes starts from the record as written.
#include <gtest/gtest.h>

#include "tables/storage/xbase_error.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/handler/handler_test_table.hpp"

namespace tables::testing {
namespace {

class CdxUpkeep : public HandlerTest {
 protected:
  std::unique_ptr<DBFObject> Indexed(int rows, bool shared) {
    MakeHandlerTable(sim.machine(), NumberedRows(rows));
    {
      auto builder = Open();
      builder->CreateIndexTag("T.CDX", "NAME", "NAME", "", true, 0);
      builder->CreateIndexTag("T.CDX", "NUM", "NUM", "", true, 0);
    }
    auto table = Open(shared);
    table->OpenIndexes("T.CDX", "NAME");
    return table;
  }
};

void AppendName(XBO_dBHandler& table, const std::string& name, double num = 0) {
  table.BlankRecord();
  table.SetFieldText("NAME", name);
  table.SetFieldNumber("NUM", num);
  table.AppendRecord();
}

class CdxUpkeepBySharing : public CdxUpkeep, public ::testing::WithParamInterface<bool> {};

TEST_P(CdxUpkeepBySharing, AppendedRecordsAreFoundAndOrdered) {
  auto table = Indexed(3, GetParam());
  table->BlankRecord();
  table->SetFieldText("NAME", "A FIRST");
  table->SetFieldNumber("NUM", 0.5);
  table->AppendRecord();
  EXPECT_TRUE(table->Seek("A FIRST"));
  EXPECT_EQ(table->position(), 4);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 1, 2, 3}));
  table->SelectOrder("NUM", false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 1, 2, 3}));
}

TEST_P(CdxUpkeepBySharing, MovesAfterAppendsStartFromTheRecordAsWritten) {
  auto table = Indexed(3, GetParam());
  // Hidden deleted records make every move go from tag entry to tag entry.
  table->SetUseDeleted(false);
  AppendName(*table, "R15");
  AppendName(*table, "R25");
  ASSERT_EQ(table->position(), 5);
  // An edit not written moves nothing: the order stands on R25 as written.
  table->SetFieldText("NAME", "A");
  EXPECT_FALSE(table->outsideOrder());
  table->GoRecord(xb_move::Previous);
  EXPECT_EQ(table->position(), 2) << "R2 comes before R25";

  AppendName(*table, "R16");
  table->GoRecord(xb_move::Next);
  EXPECT_EQ(table->position(), 2) << "R2 comes after R16";
  AppendName(*table, "R3A");
  table->GoRecord(xb_move::Next);
  EXPECT_TRUE(table->eof()) << "nothing comes after R3A";
  table->SetUseDeleted(true);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 4, 6, 2, 5, 3, 7}));
}

TEST_P(CdxUpkeepBySharing, ARecordWrittenOutsideTheTagsConditionIsOutsideTheOrder) {
  MakeHandlerTable(sim.machine(), NumberedRows(3));
  Open()->CreateIndexTag("T.CDX", "BIG", "NAME", "NUM > 2", true, 0);
  auto table = Open(GetParam());
  table->OpenIndexes("T.CDX", "BIG");
  AppendName(*table, "R0", 1);
  EXPECT_TRUE(table->outsideOrder());
  AppendName(*table, "R9", 9);
  EXPECT_FALSE(table->outsideOrder());
  table->SetUseDeleted(false);
  table->GoRecord(xb_move::Previous);
  EXPECT_EQ(table->position(), 3);
}

INSTANTIATE_TEST_SUITE_P(ExclusiveAndShared, CdxUpkeepBySharing, ::testing::Bool());

TEST(CdxUpkeepFaults, AMoveThatFailsToFindTheWrittenRecordInTheTagFindsItWhenTriedAgain) {
  TxbExpEngineScope expressions;
  FaultSweep sweep;
  MakeHandlerTable(platform::CurrentMachine(), NumberedRows(3));
  const std::string path = StorageTestMachine::Path("T.DBF");
  DBFObject(path, false, true, "").CreateIndexTag("T.CDX", "NAME", "NAME", "", true, 0);
  // Shared: the tag's pages are read from the disk each time.
  DBFObject table(path, true, true, "");
  table.OpenIndexes("T.CDX", "NAME");
  table.SetUseDeleted(false);
  AppendName(table, "R15");
  ASSERT_EQ(table.position(), 4);

  sweep.files().FailCallOf(platform::testing::FileCall::Read, 1);
  EXPECT_THROW(table.GoRecord(xb_move::Next), EXbaseError);
  sweep.files().Heal();
  table.GoRecord(xb_move::Next);
  EXPECT_EQ(table.position(), 2) << "R2 comes after R15";
}

TEST_F(CdxUpkeep, AChangedKeyMovesAndTheOldOneIsGone) {
  auto table = Indexed(3, true);
  table->GoRecord(1);
  table->SetFieldText("NAME", "Z LAST");
  table->PutRecord(1);
  EXPECT_FALSE(table->Seek("R1"));
  EXPECT_TRUE(table->Seek("Z LAST"));
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{2, 3, 1}));
}

TEST_F(CdxUpkeep, DeletedRecordsStayInTheTagAndAreSkippedWhenHidden) {
  auto table = Indexed(3, false);
  table->GoRecord(2);
  table->DeleteRecord();
  table->SetUseDeleted(false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 3}));
  EXPECT_FALSE(table->Seek("R2"));
  table->SetUseDeleted(true);
  table->GoRecord(2);
  table->RecallRecord();
  table->SetUseDeleted(false);
  EXPECT_TRUE(table->Seek("R2"));
}

TEST_F(CdxUpkeep, ExclusiveAppendsReachTheIndexFileAtFlushAndAtClose) {
  auto table = Indexed(3, false);
  const std::string path = StorageTestMachine::Path("T.CDX");
  const std::vector<std::uint8_t> before = sim.ReadBytes(path);
  const auto append = [&](const std::string& name) {
    table->BlankRecord();
    table->SetFieldText("NAME", name);
    table->AppendRecord();
  };
  append("A FIRST");
  EXPECT_EQ(sim.ReadBytes(path), before) << "the change waits in memory";
  table->Flush();
  const std::vector<std::uint8_t> flushed = sim.ReadBytes(path);
  EXPECT_NE(flushed, before);
  append("B SECOND");
  table->Close();
  EXPECT_NE(sim.ReadBytes(path), flushed);

  auto reader = Open(true);
  reader->OpenIndexes("T.CDX", "NAME");
  EXPECT_EQ(Visit(*reader), (std::vector<std::int32_t>{4, 5, 1, 2, 3}));
}

}  // namespace
}  // namespace tables::testing
