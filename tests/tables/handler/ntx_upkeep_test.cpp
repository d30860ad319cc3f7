// Record writes through the handler with an NTX file open: the index follows every append,
// change and deletion, and a second handler sharing the files (Clipper's lock protocol) sees
// the other's change through the version counter and finds its place again before it moves.
#include <gtest/gtest.h>

#include "tables/index/family_verifier.hpp"
#include "tables/index/ntx_file.hpp"
#include "tests/tables/handler/handler_test_table.hpp"

namespace tables::testing {
namespace {

class NtxHandlerUpkeep : public HandlerTest {
 protected:
  std::unique_ptr<DBFObject> Indexed(bool shared) {
    {
      auto builder = Open();
      builder->CreateIndexTag("T.NTX", "T", "NAME", "", true, 0);
    }
    return Reopen(shared);
  }
  std::unique_ptr<DBFObject> Reopen(bool shared) {
    auto table = Open(shared);
    table->SetLockProtocol(TxbLokProtocol::ClipLock);
    table->OpenIndexes("T.NTX", "T");
    return table;
  }
  static XBobjNTXFile& NtxOf(XBO_dBHandler& table) {
    return dynamic_cast<XBobjNTXFile&>(*table.IndexSlot(1));
  }
  static std::string Faults(XBO_dBHandler& table) {
    std::string text;
    for (const XbIndexFault& fault : XbVerifyIndexFamily(NtxOf(table)).faults)
      text += std::to_string(fault.page) + ": " + fault.description + "\n";
    return text;
  }
  void Append(XBO_dBHandler& table, const std::string& name) {
    table.BlankRecord();
    table.SetFieldText("NAME", name);
    table.AppendRecord();
  }
};

class NtxHandlerUpkeepBySharing : public NtxHandlerUpkeep,
                                  public ::testing::WithParamInterface<bool> {};

TEST_P(NtxHandlerUpkeepBySharing, AppendsChangesAndDeletionsAreFollowed) {
  MakeHandlerTable(sim.machine(), NumberedRows(3));
  auto table = Indexed(GetParam());
  Append(*table, "A FIRST");
  EXPECT_TRUE(table->Seek("A FIRST"));
  EXPECT_EQ(table->position(), 4);
  table->GoRecord(1);
  table->SetFieldText("NAME", "Z LAST");
  table->PutRecord(1);
  EXPECT_FALSE(table->Seek("R1"));
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 2, 3, 1}));
  table->GoRecord(2);
  table->DeleteRecord();
  table->SetUseDeleted(false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 3, 1}));
  EXPECT_EQ(Faults(*table), "");
}

INSTANTIATE_TEST_SUITE_P(ExclusiveAndShared, NtxHandlerUpkeepBySharing, ::testing::Bool());

TEST_F(NtxHandlerUpkeep, ASecondHandlerSeesTheChangeAndFindsItsPlaceAgain) {
  MakeHandlerTable(sim.machine(), NumberedRows(3));
  auto writer = Indexed(true);
  auto reader = Reopen(true);
  ASSERT_TRUE(reader->Seek("R1"));
  EXPECT_FALSE(NtxOf(*reader).HasChanged());

  Append(*writer, "R15");
  EXPECT_FALSE(NtxOf(*writer).HasChanged()) << "the writer's own change";
  EXPECT_TRUE(NtxOf(*reader).HasChanged());
  // The reader's path still holds R1, R2, R3; the step finds R1 again in the new tree first.
  reader->Skip(1);
  EXPECT_EQ(reader->position(), 4);
  EXPECT_FALSE(NtxOf(*reader).HasChanged()) << "the tree was read again";

  // A change of the reader's own entry: the step goes on from where the entry would be.
  writer->GoRecord(2);
  writer->SetFieldText("NAME", "R0");
  writer->PutRecord(2);
  reader->Skip(1);
  EXPECT_EQ(reader->position(), 3);
  EXPECT_EQ(Visit(*reader), (std::vector<std::int32_t>{2, 1, 4, 3}));
  EXPECT_EQ(Faults(*reader), "");
}

TEST_F(NtxHandlerUpkeep, AnEncipheredFileIsKeptCurrentEnciphered) {
  const std::string key = "q3#Lm9!";
  MakeHandlerTable(sim.machine(), NumberedRows(3), false, key);
  {
    auto builder = Open(false, key);
    builder->CreateIndexTag("T.NTX", "T", "NAME", "", true, 0);
  }
  auto table = Open(true, key);
  table->OpenIndexes("T.NTX", "T");
  Append(*table, "PLAINTEXT KEY");
  table->GoRecord(2);
  table->SetFieldText("NAME", "A MOVED");
  table->PutRecord(2);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{2, 4, 1, 3}));
  EXPECT_EQ(Faults(*table), "");
  const std::vector<std::uint8_t> bytes = sim.ReadBytes(StorageTestMachine::Path("T.NTX"));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("PLAINTEXT"), std::string::npos) << "a key stored in the clear";
}

TEST_F(NtxHandlerUpkeep, ManyWritesThroughOneHandlerLeaveAFileThatVerifies) {
  MakeHandlerTable(sim.machine(), NumberedRows(50));
  auto table = Indexed(true);
  for (int n = 1; n <= 600; ++n) {
    if (n % 3 == 0) {
      table->GoRecord(n % table->recordCount() + 1);
      table->SetFieldText("NAME", "C" + std::to_string(n * 7919 % 1000));
      table->PutRecord(table->position());
    } else {
      Append(*table, "A" + std::to_string(n * 104729 % 1000));
    }
  }
  EXPECT_EQ(Faults(*table), "");
  std::vector<std::int32_t> visited = Visit(*table);
  EXPECT_EQ(visited.size(), static_cast<std::size_t>(table->recordCount()));
}

}  // namespace
}  // namespace tables::testing
