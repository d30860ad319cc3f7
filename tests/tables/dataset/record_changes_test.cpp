#include <gtest/gtest.h>

#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/dataset/dataset_test_table.hpp"

namespace tables::testing {
namespace {

class RecordChangesTest : public DataSetTest {
 protected:
  // The raw NAME and deletion flag of every record, straight from the file.
  std::vector<std::string> Stored() {
    XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path("PEOPLE.DBF"), true, false, "");
    std::vector<std::string> rows;
    for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
      table.ReadRecord(n);
      rows.push_back((table.RecordDeleted() ? "*" : "") + table.GetFieldDisplay("NAME") + "/" +
                     table.GetFieldDisplay("AGE"));
    }
    return rows;
  }
};

TEST_F(RecordChangesTest, EditPostWritesInPlaceAndCancelWritesNothing) {
  MakePeople();
  auto people = OpenPeople();
  people->SetRecNo(2);
  people->Edit();
  people->FieldByName("AGE").SetAsInteger(41);
  people->Post();
  people->Edit();
  people->FieldByName("NAME").SetAsString("ZED");
  people->Cancel();
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "BOB");
  EXPECT_EQ(Stored(), (std::vector<std::string>{"ANN/30", "BOB/41", "CY/50", "DAN/60", "EVE/70"}));
}

TEST_F(RecordChangesTest, AppendAddsARecordThatBecomesCurrent) {
  MakePeople();
  auto people = OpenPeople();
  people->Append();
  EXPECT_TRUE(people->FieldByName("NAME").IsNull());
  people->FieldByName("NAME").SetAsString("FAY");
  people->FieldByName("AGE").SetAsInteger(80);
  people->FieldByName("OK").SetAsBoolean(true);
  people->Post();
  EXPECT_EQ(people->RecNo(), 6);
  EXPECT_TRUE(people->FieldByName("OK").AsBoolean());
  EXPECT_EQ(Stored().back(), "FAY/80");
  people->Append();
  people->Cancel();
  EXPECT_EQ(people->RecordCount(), 6);
}

TEST_F(RecordChangesTest, EditAndDeleteOfARecordHeldByAnotherHandlerAreRefused) {
  MakePeople();
  auto people = OpenPeople();
  DBFObject other(sim.machine(), StorageTestMachine::Path("PEOPLE.DBF"), true, true, "");
  ASSERT_TRUE(other.LockRecord(3));
  people->SetRecNo(3);
  EXPECT_EQ(MessageOf([&] { people->Edit(); }), "People: Record is locked by another user");
  EXPECT_EQ(people->State(), db::DataSetState::Browse);
  EXPECT_EQ(MessageOf([&] { people->Delete(); }), "People: Record is locked by another user");
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "CY");
  EXPECT_FALSE(people->UseDeleted());
  EXPECT_EQ(Stored(), (std::vector<std::string>{"ANN/30", "BOB/40", "CY/50", "DAN/60", "EVE/70"}));

  other.Unlock();
  people->Edit();
  people->FieldByName("AGE").SetAsInteger(51);
  // While this dataset edits, the record is held against the other handler.
  EXPECT_FALSE(other.LockRecord(3));
  people->Post();
  EXPECT_TRUE(other.LockRecord(3));
  other.Unlock();
  EXPECT_EQ(Stored()[2], "CY/51");
}

TEST_F(RecordChangesTest, EditReadsTheRecordAgainAfterTakingTheLock) {
  MakePeople();
  auto people = OpenPeople();
  people->SetRecNo(2);
  {
    XBO_dBaseFld other(sim.machine(), StorageTestMachine::Path("PEOPLE.DBF"), true, true, "");
    other.ReadRecord(2);
    other.SetFieldText("NAME", "BOBBY");
    other.WriteRecord(2);
    other.Close();
  }
  people->Edit();
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "BOBBY");
  people->FieldByName("AGE").SetAsInteger(42);
  people->Post();
  EXPECT_EQ(Stored()[1], "BOBBY/42");
}

TEST_F(RecordChangesTest, DeleteMovesOnAndRecallBringsTheRecordBack) {
  MakePeople();
  auto people = OpenPeople();
  people->Last();
  people->Delete();
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "DAN");
  EXPECT_EQ(Stored().back(), "*EVE/70");
  people->SetUseDeleted(true);
  people->Last();
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "EVE");
  people->RecallRecord();
  EXPECT_TRUE(people->UseDeleted());
  EXPECT_EQ(Stored().back(), "EVE/70");
  people->SetUseDeleted(false);
  EXPECT_EQ(Names(*people), (std::vector<std::string>{"ANN", "BOB", "CY", "DAN", "EVE"}));
}

TEST_F(RecordChangesTest, ReadOnlyDatasetRefusesChangesAndClosedDatasetNamesItsTable) {
  MakePeople();
  TXbaseDataSet people(sim.machine(), "People");
  people.SetTableName("C:\\DATA\\PEOPLE.DBF");
  people.SetReadOnly(true);
  people.Open();
  EXPECT_EQ(MessageOf([&] { people.Edit(); }), "People: Cannot modify a read-only dataset");
  people.Close();
  EXPECT_EQ(MessageOf([&] { people.RecordCount(); }),
            "People: Cannot perform this operation on a closed dataset C:\\DATA\\PEOPLE.DBF");
}

TEST_F(RecordChangesTest, FieldWritesOutsideEditAreRefused) {
  MakePeople();
  auto people = OpenPeople();
  EXPECT_EQ(MessageOf([&] { people->FieldByName("NAME").SetAsString("X"); }),
            "People: Dataset not in edit or insert mode");
  EXPECT_EQ(MessageOf([&] { people->SetFieldText("NAME", "X"); }),
            "People: Dataset not in edit or insert mode");
  people->FieldByName("NAME").SetReadOnly(true);
  people->Edit();
  EXPECT_EQ(MessageOf([&] { people->FieldByName("NAME").SetAsString("X"); }),
            "People: Field 'NAME' cannot be modified");
}

TEST_F(RecordChangesTest, OnFilterRecordHidesRecordsWhileFiltered) {
  MakePeople();
  auto people = OpenPeople();
  people->OnFilterRecord = [](db::TDataSet& dataSet, bool& accept) {
    accept = dataSet.FieldByName("AGE").AsInteger() % 20 == 10;
  };
  people->SetFiltered(true);
  EXPECT_EQ(Names(*people), (std::vector<std::string>{"ANN", "CY", "EVE"}));
  people->SetFiltered(false);
  EXPECT_EQ(Names(*people).size(), 5u);
}

TEST_F(RecordChangesTest, FilterExpressionIsEvaluatedByTheEngine) {
  MakePeople();
  auto people = OpenPeople();
  people->SetFilter("AGE > 45");
  people->SetFiltered(true);
  EXPECT_EQ(Names(*people), (std::vector<std::string>{"CY", "DAN", "EVE"}));
  EXPECT_FALSE(people->IsSequenced());
}

}  // namespace
}  // namespace tables::testing
