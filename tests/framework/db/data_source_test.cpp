#include "framework/db/data_source.hpp"

#include <gtest/gtest.h>

#include "tests/framework/db/users_fixture.hpp"

namespace {

using db::DataEvent;
using db::DataSetState;

class Listener : public db::DataSourceLink {
 public:
  void DataEvent(db::DataEvent event, const db::TField* field) override {
    events.push_back(event);
    if (field) fields.push_back(field->FieldName());
  }
  void SourceDestroyed() override { gone = true; }
  std::vector<db::DataEvent> events;
  std::vector<std::string> fields;
  bool gone = false;
};

class DataSourceTest : public db_test::UsersTest {
 protected:
  DataSourceTest() {
    source.AddLink(link);
    source.SetDataSet(&table);
    link.events.clear();
  }
  Listener link;  // outlives the source, which tells it when it goes
  db::TDataSource source;
};

TEST_F(DataSourceTest, LinksHearMovesEditsAndFieldChanges) {
  table.Next();
  EXPECT_EQ(link.events, (std::vector{DataEvent::DataSetScroll}));
  link.events.clear();
  table.Edit();
  table.FieldByName("UserName").SetAsString("X");
  table.Cancel();
  EXPECT_EQ(link.events,
            (std::vector{DataEvent::UpdateState, DataEvent::RecordChange, DataEvent::FieldChange,
                         DataEvent::UpdateState, DataEvent::DataSetChange}));
  EXPECT_EQ(link.fields, (std::vector<std::string>{"UserName"}));
}

TEST_F(DataSourceTest, DisabledSourceTellsNothingButTheSwitches) {
  source.SetEnabled(false);
  table.Next();
  table.Edit();
  EXPECT_EQ(link.events, (std::vector{DataEvent::UpdateState}));
  EXPECT_EQ(source.State(), DataSetState::Inactive);
  EXPECT_FALSE(source.Active());
  source.SetEnabled(true);
  EXPECT_EQ(source.State(), DataSetState::Edit);
  EXPECT_TRUE(source.Active());
}

TEST_F(DataSourceTest, DisableControlsHoldsEventsUntilTheLastEnable) {
  table.DisableControls();
  table.DisableControls();
  EXPECT_TRUE(table.ControlsDisabled());
  table.Next();
  table.Edit();
  table.EnableControls();
  EXPECT_TRUE(link.events.empty());
  table.EnableControls();
  EXPECT_FALSE(table.ControlsDisabled());
  EXPECT_EQ(link.events, (std::vector{DataEvent::UpdateState, DataEvent::DataSetChange}));
  link.events.clear();
  table.DisableControls();
  table.EnableControls();  // nothing happened meanwhile
  table.EnableControls();  // one too many is ignored
  EXPECT_TRUE(link.events.empty());
}

TEST_F(DataSourceTest, SourceEditFollowsAutoEdit) {
  source.SetAutoEdit(false);
  EXPECT_FALSE(source.Edit());
  EXPECT_EQ(table.State(), DataSetState::Browse);
  source.SetAutoEdit(true);
  EXPECT_TRUE(source.Edit());
  EXPECT_EQ(table.State(), DataSetState::Edit);
  source.SetEnabled(false);
  EXPECT_FALSE(source.Edit());
}

TEST_F(DataSourceTest, SourceEventsReportStateAndDataChanges) {
  int stateChanges = 0;
  std::vector<std::string> changedFields;
  source.OnStateChange = [&](db::TDataSource&) { ++stateChanges; };
  source.OnDataChange = [&](db::TDataSource&, const db::TField* field) {
    changedFields.push_back(field ? field->FieldName() : "*");
  };
  table.Edit();
  table.FieldByName("Logit").SetAsBoolean(true);
  table.Post();
  EXPECT_EQ(stateChanges, 2);
  EXPECT_EQ(changedFields, (std::vector<std::string>{"*", "Logit", "*"}));
}

TEST_F(DataSourceTest, DatasetGoingAwayDetachesTheSource) {
  {
    db::MemoryDataSet temporary{{{"A", db::FieldType::String, 1}}};
    source.SetDataSet(&temporary);
  }
  EXPECT_EQ(source.DataSet(), nullptr);
  EXPECT_FALSE(source.Active());
}

TEST(DataSourceLifetime, SourceGoingAwayTellsItsLinks) {
  Listener link;
  {
    db::TDataSource source;
    source.AddLink(link);
  }
  EXPECT_TRUE(link.gone);
}

}  // namespace
