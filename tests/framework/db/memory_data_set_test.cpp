#include "framework/db/memory_data_set.hpp"

#include <gtest/gtest.h>

#include "framework/db/data_source.hpp"
#include "framework/db/database_error.hpp"

namespace {

using db::DataSetState;
using db::FieldKind;

class Counter : public db::DataSourceLink {
 public:
  void DataChanged() override { ++changes; }
  void SourceDestroyed() override { gone = true; }
  int changes = 0;
  bool gone = false;
};

class MemoryDataSetTest : public ::testing::Test {
 protected:
  MemoryDataSetTest() {
    table.Open();
    for (const char* name : {"PARENT", "GUEST", "KID"}) {
      table.Append();
      table.SetFieldText("UserName", name);
      table.Post();
    }
    table.First();
  }
  db::MemoryDataSet table{{{"UserName", FieldKind::Text, 10},
                           {"Logit", FieldKind::Logical, 1},
                           {"Submit", FieldKind::Text, 5}}};
};

TEST_F(MemoryDataSetTest, WalksRecordsWithEofAndBof) {
  std::vector<std::string> names;
  for (table.First(); !table.Eof(); table.Next())
    names.push_back(table.FieldText("username"));
  EXPECT_EQ(names, (std::vector<std::string>{"PARENT", "GUEST", "KID"}));
  table.Last();
  EXPECT_EQ(table.RecNo(), 3);
  table.Prior();
  table.Prior();
  table.Prior();
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(table.FieldText("UserName"), "PARENT");
}

TEST_F(MemoryDataSetTest, EditCancelAndMovePostsPendingChanges) {
  table.Edit();
  table.SetFieldText("UserName", "FATHER");
  table.Cancel();
  EXPECT_EQ(table.FieldText("UserName"), "PARENT");
  table.Edit();
  table.SetFieldText("UserName", "MOTHER");
  table.Next();  // leaves edit mode by posting
  EXPECT_EQ(table.State(), DataSetState::Browse);
  table.First();
  EXPECT_EQ(table.FieldText("UserName"), "MOTHER");
}

TEST_F(MemoryDataSetTest, StoredValuesFollowTheFieldKinds) {
  table.Edit();
  table.SetFieldText("UserName", "ABCDEFGHIJKLMN");
  table.SetFieldText("Logit", "yes");
  table.SetFieldBoolean("Submit", false);
  table.Post();
  EXPECT_EQ(table.FieldText("UserName"), "ABCDEFGHIJ");
  EXPECT_TRUE(table.FieldBoolean("Logit"));
  EXPECT_EQ(table.FieldText("Logit"), "True");
  EXPECT_EQ(table.FieldText("Submit"), "False");
  EXPECT_FALSE(table.FieldBoolean("Submit"));
}

TEST_F(MemoryDataSetTest, WrongUseRaisesTheDatabaseErrorTexts) {
  const auto message = [](const std::function<void()>& action) {
    try {
      action();
    } catch (const db::EDatabaseError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { table.SetFieldText("UserName", "X"); }),
            "Dataset not in edit or insert mode");
  EXPECT_EQ(message([&] { table.FieldText("Age"); }), "Field 'Age' not found");
  EXPECT_EQ(message([&] { table.Post(); }), "Dataset not in edit or insert mode");
  table.Close();
  EXPECT_EQ(message([&] { table.First(); }), "Cannot perform this operation on a closed dataset");
}

TEST_F(MemoryDataSetTest, LocateAppendAndDelete) {
  EXPECT_TRUE(table.Locate("UserName", "guest"));
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_FALSE(table.Locate("UserName", "NOBODY"));
  EXPECT_EQ(table.RecNo(), 2);
  table.Append();
  EXPECT_EQ(table.RecNo(), 0);
  table.Cancel();
  EXPECT_EQ(table.RecordCount(), 3);
  table.Last();
  table.Delete();
  EXPECT_EQ(table.RecordCount(), 2);
  EXPECT_EQ(table.FieldText("UserName"), "GUEST");
}

TEST_F(MemoryDataSetTest, EditOnAnEmptyDatasetInserts) {
  db::MemoryDataSet empty{{{"UserName", FieldKind::Text, 10}}};
  empty.Open();
  empty.Edit();
  EXPECT_EQ(empty.State(), DataSetState::Insert);
  EXPECT_EQ(empty.FieldText("UserName"), "");
}

TEST_F(MemoryDataSetTest, SourceTellsItsLinksOnlyWhileEnabled) {
  Counter link;  // outlives the source, which tells it when it goes
  db::TDataSource source;
  source.AddLink(link);
  source.SetDataSet(&table);
  const int afterBinding = link.changes;
  source.SetEnabled(false);
  table.Next();
  table.Edit();
  EXPECT_EQ(link.changes, afterBinding + 1);  // only the switch itself
  EXPECT_EQ(source.State(), DataSetState::Inactive);
  source.SetEnabled(true);
  EXPECT_EQ(source.State(), DataSetState::Edit);
  table.Post();
  EXPECT_GT(link.changes, afterBinding + 2);
}

TEST_F(MemoryDataSetTest, DatasetGoingAwayDetachesTheSource) {
  Counter link;  // outlives the source, which tells it when it goes
  db::TDataSource source;
  {
    db::MemoryDataSet temporary{{{"A", FieldKind::Text, 1}}};
    source.SetDataSet(&temporary);
    source.AddLink(link);
  }
  EXPECT_EQ(source.DataSet(), nullptr);
  EXPECT_FALSE(source.Active());
}

}  // namespace
