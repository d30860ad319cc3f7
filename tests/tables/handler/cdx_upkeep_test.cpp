// Record writes through the handler with a compound file open: its tags follow every append,
// change, deletion and recall.
#include <gtest/gtest.h>

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

INSTANTIATE_TEST_SUITE_P(ExclusiveAndShared, CdxUpkeepBySharing, ::testing::Bool());

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
