// Record writes through the handler with NDX and MDX files open: their tags follow every
// append, change, deletion and recall, and the current order steps on from the record written
// or gone to.
#include <gtest/gtest.h>

#include "tables/index/family_verifier.hpp"
#include "tests/tables/handler/handler_test_table.hpp"

namespace tables::testing {
namespace {

std::vector<HandlerRow> Rows(const std::vector<std::string>& names) {
  std::vector<HandlerRow> rows;
  for (std::size_t i = 0; i < names.size(); ++i)
    rows.push_back({names[i], static_cast<double>(i + 1), false, ""});
  return rows;
}

// The files to open: an NDX file on NAME and one on NUM, or an MDX file with both tags; the
// table opened exclusively or shared.
class FamilyUpkeep : public HandlerTest,
                     public ::testing::WithParamInterface<std::tuple<bool, bool>> {
 protected:
  bool mdx() const { return std::get<0>(GetParam()); }
  bool shared() const { return std::get<1>(GetParam()); }

  std::unique_ptr<DBFObject> Indexed(const std::vector<std::string>& names) {
    MakeHandlerTable(sim.machine(), Rows(names));
    {
      auto builder = Open();
      builder->CreateIndexTag(mdx() ? "T.MDX" : "NAME.NDX", "NAME", "NAME", "", true, 0);
      builder->CreateIndexTag(mdx() ? "T.MDX" : "NUM.NDX", "NUM", "NUM", "", true, 0);
    }
    auto table = Open(shared());
    table->OpenIndexes(mdx() ? "T.MDX" : "NAME.NDX NUM.NDX", "NAME");
    return table;
  }

  std::string Faults(XBO_dBHandler& table) {
    std::string text;
    for (int slot = 1; XBobjIndexFile* file = table.IndexSlot(slot); ++slot) {
      for (const auto& fault : XbVerifyIndexFamily(*file).faults)
        text += fault.tag + ": " + fault.description + "\n";
    }
    return text;
  }
};

TEST_P(FamilyUpkeep, AppendedAndChangedRecordsAreFoundAndOrdered) {
  auto table = Indexed({"R1", "R2", "R3"});
  table->BlankRecord();
  table->SetFieldText("NAME", "A FIRST");
  table->SetFieldNumber("NUM", 0.5);
  table->AppendRecord();
  EXPECT_TRUE(table->Seek("A FIRST"));
  EXPECT_EQ(table->position(), 4);
  table->GoRecord(2);
  table->SetFieldText("NAME", "Z LAST");
  table->PutRecord(2);
  EXPECT_FALSE(table->Seek("R2"));
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 1, 3, 2}));
  table->SelectOrder("NUM", false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 1, 2, 3}));
  table->GoRecord(3);
  table->DeleteRecord();
  table->SetUseDeleted(false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{4, 1, 2}));
  table->SetUseDeleted(true);
  EXPECT_EQ(Faults(*table), "");
}

// A record made current outside the order (by number, or by the write that moved its key):
// the next step goes from where its entry stands in the tag.
TEST_P(FamilyUpkeep, StepsGoOnFromTheRecordMadeCurrentOrWritten) {
  auto table = Indexed({"C", "A", "E", "B", "D"});
  table->GoRecord(1);
  table->Skip(1);
  EXPECT_EQ(table->position(), 5);
  table->GoRecord(3);
  table->Skip(-1);
  EXPECT_EQ(table->position(), 5);
  table->GoRecord(2);
  table->SetFieldText("NAME", "D2");
  table->PutRecord(2);
  table->Skip(1);
  EXPECT_EQ(table->position(), 3);
  table->Skip(-2);
  EXPECT_EQ(table->position(), 5);
}

// Files open exclusively keep their changed blocks in memory, read back from there by the next
// change, until the table is flushed or closed.
TEST_F(HandlerTest, ExclusiveNdxAndMdxChangesReachTheFilesAtFlushAndAtClose) {
  MakeHandlerTable(sim.machine(), Rows({"R1", "R2", "R3"}));
  {
    auto builder = Open();
    builder->CreateIndexTag("NAME.NDX", "NAME", "NAME", "", true, 0);
    builder->CreateIndexTag("T.MDX", "NUM", "NUM", "", true, 0);
  }
  auto table = Open();
  table->OpenIndexes("NAME.NDX T.MDX", "NAME");
  const auto bytes = [&] {
    return std::vector{sim.ReadBytes(StorageTestMachine::Path("NAME.NDX")),
                       sim.ReadBytes(StorageTestMachine::Path("T.MDX"))};
  };
  const auto before = bytes();
  const auto append = [&](const std::string& name, double number) {
    table->BlankRecord();
    table->SetFieldText("NAME", name);
    table->SetFieldNumber("NUM", number);
    table->AppendRecord();
  };
  append("A FIRST", 0.5);
  append("B SECOND", 0.25);
  EXPECT_EQ(bytes(), before) << "the changes wait in memory";
  table->Flush();
  const auto flushed = bytes();
  EXPECT_NE(flushed[0], before[0]);
  EXPECT_NE(flushed[1], before[1]);
  append("C THIRD", 0.75);
  table->Close();
  EXPECT_NE(bytes(), flushed);

  auto reader = Open(true);
  reader->OpenIndexes("NAME.NDX T.MDX", "NAME");
  EXPECT_EQ(Visit(*reader), (std::vector<std::int32_t>{4, 5, 6, 1, 2, 3}));
  reader->SelectOrder("NUM", false);
  EXPECT_EQ(Visit(*reader), (std::vector<std::int32_t>{5, 4, 6, 1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(NdxAndMdxExclusiveAndShared, FamilyUpkeep,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace tables::testing
