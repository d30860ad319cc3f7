#include <gtest/gtest.h>

#include "framework/db/data_set.hpp"
#include "tests/framework/db/users_fixture.hpp"

namespace {

using db::DataAction;
using db::DataSetState;
using db_test::ErrorText;
using Strings = std::vector<std::string>;

class DataSetStatesTest : public db_test::UsersTest {
 protected:
  // The table closes when it goes, after `events`.
  ~DataSetStatesTest() override { table.BeforeClose = table.AfterClose = nullptr; }
  // Records the events of the dataset by name, in order.
  void RecordEvents() {
    const auto note = [this](const char* name) {
      return [this, name](db::TDataSet&) { events.push_back(name); };
    };
    table.BeforeOpen = note("BeforeOpen");
    table.AfterOpen = note("AfterOpen");
    table.BeforeClose = note("BeforeClose");
    table.AfterClose = note("AfterClose");
    table.BeforeInsert = note("BeforeInsert");
    table.AfterInsert = note("AfterInsert");
    table.BeforeEdit = note("BeforeEdit");
    table.AfterEdit = note("AfterEdit");
    table.BeforePost = note("BeforePost");
    table.AfterPost = note("AfterPost");
    table.BeforeCancel = note("BeforeCancel");
    table.AfterCancel = note("AfterCancel");
    table.BeforeDelete = note("BeforeDelete");
    table.AfterDelete = note("AfterDelete");
    table.BeforeScroll = note("BeforeScroll");
    table.AfterScroll = note("AfterScroll");
    table.OnNewRecord = note("OnNewRecord");
  }
  Strings events;
};

TEST_F(DataSetStatesTest, StatesFollowTheOperations) {
  EXPECT_EQ(table.State(), DataSetState::Browse);
  table.Edit();
  EXPECT_EQ(table.State(), DataSetState::Edit);
  table.Edit();  // already editing: nothing happens
  table.Post();
  EXPECT_EQ(table.State(), DataSetState::Browse);
  table.Insert();
  EXPECT_EQ(table.State(), DataSetState::Insert);
  table.Cancel();
  table.SetKey();
  EXPECT_EQ(table.State(), DataSetState::SetKey);
  table.Cancel();
  EXPECT_EQ(table.State(), DataSetState::Browse);
  table.Close();
  EXPECT_EQ(table.State(), DataSetState::Inactive);
  table.SetActive(true);
  EXPECT_EQ(table.State(), DataSetState::Browse);
}

TEST_F(DataSetStatesTest, WrongStatesRaiseTheirMessages) {
  db::TField& name = table.FieldByName("UserName");
  EXPECT_EQ(ErrorText([&] { name.SetAsString("X"); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorText([&] { table.Post(); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorText([&] { table.FieldByName("Age"); }), "Field 'Age' not found");
  name.SetReadOnly(true);
  table.Edit();
  EXPECT_EQ(ErrorText([&] { name.SetAsString("X"); }), "Field 'UserName' cannot be modified");
  table.Cancel();
  table.Close();
  for (const auto& action : std::vector<std::function<void()>>{
           [&] { table.First(); }, [&] { table.Next(); }, [&] { table.Edit(); },
           [&] { table.Append(); }, [&] { table.Delete(); }, [&] { table.RecNo(); },
           [&] { table.GetBookmark(); }, [&] { table.SetKey(); }}) {
    EXPECT_EQ(ErrorText(action), "Cannot perform this operation on a closed dataset");
  }
  EXPECT_EQ(ErrorText([&] { table.AddCalculatedField("X", db::FieldType::String, 1); }),
            "no error");
  table.Open();
  EXPECT_EQ(ErrorText([&] { table.AddCalculatedField("Y", db::FieldType::String, 1); }),
            "Cannot perform this operation on an open dataset");
}

TEST_F(DataSetStatesTest, EventsComeInTheirOrder) {
  RecordEvents();
  table.Close();
  table.Open();
  EXPECT_EQ(events, (Strings{"BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen"}));
  events.clear();
  table.Next();
  table.Edit();
  table.FieldByName("Logit").SetAsBoolean(true);
  table.Post();
  EXPECT_EQ(events, (Strings{"BeforeScroll", "AfterScroll", "BeforeEdit", "AfterEdit", "BeforePost",
                             "AfterPost"}));
  events.clear();
  table.Append();
  table.Cancel();
  table.Delete();
  EXPECT_EQ(events, (Strings{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                             "AfterScroll", "BeforeCancel", "AfterCancel", "BeforeDelete",
                             "BeforeScroll", "AfterDelete", "AfterScroll"}));
}

TEST_F(DataSetStatesTest, MoveAtTheEndFiresNoScrollEvents) {
  table.Last();
  RecordEvents();
  table.Next();
  EXPECT_TRUE(events.empty());
}

TEST_F(DataSetStatesTest, OnNewRecordFillsDefaultsThatAloneAreNotPosted) {
  table.OnNewRecord = [](db::TDataSet& data) {
    data.FieldByName("Logit").SetAsBoolean(true);
    data.FieldByName("UserName").SetAsString("NEWUSER");
  };
  table.Append();
  EXPECT_EQ(Name(), "NEWUSER");
  EXPECT_TRUE(table.FieldByName("Logit").AsBoolean());
  EXPECT_FALSE(table.Modified());
  table.First();
  EXPECT_EQ(table.RecordCount(), 3);
  table.Append();
  table.Post();
  EXPECT_EQ(Names(), (Strings{"PARENT", "GUEST", "KID", "NEWUSER"}));
}

TEST_F(DataSetStatesTest, FailingOnNewRecordLeavesTheDatasetBrowsing) {
  table.Next();
  table.OnNewRecord = [](db::TDataSet&) { throw db::EDatabaseError("no defaults"); };
  EXPECT_EQ(ErrorText([&] { table.Insert(); }), "no defaults");
  EXPECT_EQ(table.State(), DataSetState::Browse);
  EXPECT_EQ(Name(), "GUEST");
}

TEST_F(DataSetStatesTest, BeforeEventThatThrowsStopsTheOperation) {
  table.BeforePost = [](db::TDataSet&) { throw db::EDatabaseError("refused"); };
  table.Edit();
  table.FieldByName("UserName").SetAsString("CHANGED");
  EXPECT_EQ(ErrorText([&] { table.Post(); }), "refused");
  EXPECT_EQ(table.State(), DataSetState::Edit);  // still editing, nothing lost
  EXPECT_EQ(Name(), "CHANGED");
  table.BeforeDelete = [](db::TDataSet&) { throw db::EDatabaseError("kept"); };
  table.Cancel();
  EXPECT_EQ(ErrorText([&] { table.Delete(); }), "kept");
  EXPECT_EQ(table.RecordCount(), 3);
}

TEST_F(DataSetStatesTest, RequiredFieldMustHaveAValue) {
  db::MemoryDataSet strict{{{"Name", db::FieldType::String, 5, true}}};
  strict.Open();
  strict.Append();
  EXPECT_EQ(ErrorText([&] { strict.Post(); }), "Field 'Name' must have a value");
  EXPECT_EQ(strict.State(), DataSetState::Insert);
  strict.FieldByName("Name").SetAsString("A");
  strict.Post();
  EXPECT_EQ(strict.RecordCount(), 1);
}

// A dataset whose record locks and posts fail a given number of times, as with a record
// another user holds; Edit re-reads the stored record, as a shared table must.
class FlakyUsers : public db::MemoryDataSet {
 public:
  FlakyUsers() : MemoryDataSet({{"UserName", db::FieldType::String, 10}}) {}
  int failures = 0;
  int lockFailures = 0;
  std::string storedByOthers;

 protected:
  void InternalEdit(db::RecordBuffer& buffer) override {
    if (lockFailures > 0) {
      --lockFailures;
      Fail("Record is locked by another user");
    }
    if (!storedByOthers.empty()) SetFieldData(FieldByName("UserName"), buffer, storedByOthers);
  }
  void InternalDelete(db::RecordBuffer& buffer) override {
    if (lockFailures > 0) {
      --lockFailures;
      Fail("Cannot delete the record");
    }
    MemoryDataSet::InternalDelete(buffer);
  }
  void InternalPost(db::RecordBuffer& buffer) override {
    if (failures > 0) {
      --failures;
      Fail("Record is locked by another user");
    }
    MemoryDataSet::InternalPost(buffer);
  }
};

TEST(DataSetErrorHandlers, PostErrorHandlerCanRetryFailOrAbort) {
  FlakyUsers users;
  users.Open();
  int calls = 0;
  DataAction answer = DataAction::Retry;
  users.OnPostError = [&](db::TDataSet&, const std::exception& error, DataAction& action) {
    EXPECT_STREQ(error.what(), "Record is locked by another user");
    ++calls;
    action = answer;
  };
  users.failures = 2;
  users.Append();
  users.FieldByName("UserName").SetAsString("A");
  users.Post();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(users.RecordCount(), 1);

  answer = DataAction::Fail;
  users.failures = 1;
  users.Append();
  users.FieldByName("UserName").SetAsString("B");
  EXPECT_EQ(ErrorText([&] { users.Post(); }), "Record is locked by another user");
  answer = DataAction::Abort;
  users.failures = 1;
  EXPECT_THROW(users.Post(), db::EAbort);
  EXPECT_EQ(users.State(), DataSetState::Insert);
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "B");
}

TEST_F(DataSetStatesTest, SetKeyWritesIntoAKeyBufferAndLeavesTheRecordAlone) {
  table.SetKey();
  table.FieldByName("UserName").SetAsString("GUEST");
  EXPECT_EQ(Name(), "GUEST");  // fields show the key buffer
  table.Cancel();
  EXPECT_EQ(Name(), "PARENT");
  table.SetKey();
  table.Next();  // moving ends the key state
  EXPECT_EQ(table.State(), DataSetState::Browse);
  EXPECT_EQ(Name(), "GUEST");
}

TEST_F(DataSetStatesTest, CalculatedFieldsFollowEveryRecordAndEveryChange) {
  table.Close();
  table.AddCalculatedField("Shout", db::FieldType::String, 20);
  int calculations = 0;
  table.OnCalcFields = [&](db::TDataSet& data) {
    ++calculations;
    EXPECT_EQ(data.State(), DataSetState::CalcFields);
    data.FieldByName("Shout").SetAsString(data.FieldByName("UserName").AsString() + "!");
  };
  table.Open();
  EXPECT_EQ(table.FieldByName("Shout").AsString(), "PARENT!");
  EXPECT_TRUE(table.FieldByName("Shout").Calculated());
  table.Next();
  EXPECT_EQ(table.FieldByName("Shout").AsString(), "GUEST!");
  table.Edit();
  table.FieldByName("UserName").SetAsString("VISITOR");
  EXPECT_EQ(table.FieldByName("Shout").AsString(), "VISITOR!");
  EXPECT_EQ(ErrorText([&] { table.FieldByName("Shout").SetAsString("x"); }),
            "Field 'Shout' cannot be modified");
  table.Cancel();
  EXPECT_EQ(table.FieldByName("Shout").AsString(), "GUEST!");
  table.SetAutoCalcFields(false);
  const int before = calculations;
  table.First();
  EXPECT_EQ(calculations, before);
  EXPECT_TRUE(table.FieldByName("Shout").IsNull());
}

TEST_F(DataSetStatesTest, CalculatedFieldNamedAsADataFieldIsRefused) {
  table.Close();
  table.AddCalculatedField("username", db::FieldType::String, 20);
  EXPECT_EQ(ErrorText([&] { table.Open(); }), "Duplicate field name 'username'");
  EXPECT_FALSE(table.Active());
}

TEST(DataSetErrorHandlers, EditReadsTheRecordAgainAndALockedRecordStaysBrowsing) {
  FlakyUsers users;
  users.Open();
  users.Append();
  users.FieldByName("UserName").SetAsString("OLD");
  users.Post();
  users.lockFailures = 1;
  EXPECT_EQ(ErrorText([&] { users.Edit(); }), "Record is locked by another user");
  EXPECT_EQ(users.State(), DataSetState::Browse);
  users.storedByOthers = "NEWER";
  int retries = 0;
  users.OnEditError = [&](db::TDataSet&, const std::exception&, DataAction& action) {
    ++retries;
    action = DataAction::Retry;
  };
  users.lockFailures = 2;
  users.Edit();
  EXPECT_EQ(retries, 2);
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "NEWER");
  users.FieldByName("UserName").SetAsString("MINE");
  users.Cancel();
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "NEWER");  // as read on Edit
}

TEST(DataSetErrorHandlers, DeleteErrorHandlerDecidesAndAbortKeepsTheRecord) {
  FlakyUsers users;
  users.Open();
  for (const char* name : {"A", "B"}) {
    users.Append();
    users.FieldByName("UserName").SetAsString(name);
    users.Post();
  }
  users.First();
  std::vector<std::string> seen;
  users.OnDeleteError = [&](db::TDataSet& data, const std::exception& error, DataAction& action) {
    seen.push_back(error.what());
    action = data.FieldByName("UserName").AsString() == "A" ? DataAction::Abort : DataAction::Retry;
  };
  users.lockFailures = 1;
  EXPECT_THROW(users.Delete(), db::EAbort);
  EXPECT_EQ(users.RecordCount(), 2);
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "A");
  users.Next();
  users.lockFailures = 1;
  users.Delete();
  EXPECT_EQ(users.RecordCount(), 1);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Cannot delete the record", "Cannot delete the record"}));
}

}  // namespace
