#include <gtest/gtest.h>

#include "framework/db/database_error.hpp"
#include "framework/db/memory_data_set.hpp"
#include "framework/forms/db_check_box.hpp"
#include "framework/forms/db_combo_box.hpp"
#include "framework/forms/db_edit.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/form_actor.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

using db::DataSetState;
using db::FieldType;

class Users : public forms::TForm {
 public:
  explicit Users(db::TDataSet& table) : TForm("users") {
    source.SetDataSet(&table);
    source.SetEnabled(false);
    userName.SetDataSource(&source);
    userName.SetDataField("UserName");
    age.SetDataSource(&source);
    age.SetDataField("Age");
    age.SetItems({"Age 25-34", "Preschool"});
    adult.SetDataSource(&source);
    adult.SetDataField("Adult");
    adult.SetValueChecked("Y");
    adult.SetValueUnchecked("N");
    porn.SetDataSource(&source);
    porn.SetDataField("Porn");
  }
  db::TDataSource source;
  forms::TDBEdit userName{*this, "UserNameEdit"};
  forms::TDBComboBox age{*this, "AgeCombo"};
  forms::TDBCheckBox adult{*this, "DBCheckBox4"};
  forms::TDBCheckBox porn{*this, "DBCheckBox3"};
};

class DataControlsTest : public forms_test::ToolkitTest {
 protected:
  DataControlsTest() {
    table.Open();
    AddUser("PARENT", "Age 25-34", "Y", true);
    AddUser("GUEST", "Preschool", "N", false);
    table.First();
  }
  void AddUser(const std::string& name, const std::string& age, const std::string& adult,
               bool porn) {
    table.Append();
    table.FieldByName("UserName").SetAsString(name);
    table.FieldByName("Age").SetAsString(age);
    table.FieldByName("Adult").SetAsString(adult);
    table.FieldByName("Porn").SetAsBoolean(porn);
    table.Post();
  }

  db::MemoryDataSet table{{{"UserName", FieldType::String, 10},
                           {"Age", FieldType::String, 20},
                           {"Adult", FieldType::String, 1},
                           {"Porn", FieldType::Boolean}}};
  Users& form = app.CreateForm<Users>(table);
};

TEST_F(DataControlsTest, DisabledSourceShowsNothingAndEnablingShowsTheRecord) {
  EXPECT_EQ(form.userName.Text(), "");
  EXPECT_FALSE(form.adult.Checked());
  form.source.SetEnabled(true);
  EXPECT_EQ(form.userName.Text(), "PARENT");
  EXPECT_EQ(form.age.Text(), "Age 25-34");
  EXPECT_TRUE(form.adult.Checked());
  EXPECT_TRUE(form.porn.Checked());
  EXPECT_EQ(form.userName.MaxLength(), 10);
}

TEST_F(DataControlsTest, RecordMoveShowsTheNewRecord) {
  form.source.SetEnabled(true);
  table.Next();
  EXPECT_EQ(form.userName.Text(), "GUEST");
  EXPECT_EQ(form.age.ItemIndex(), 1);
  EXPECT_FALSE(form.adult.Checked());
  EXPECT_FALSE(form.porn.Checked());
}

TEST_F(DataControlsTest, UserChangesPutTheDatasetInEditAndWriteTheFields) {
  form.source.SetEnabled(true);
  form.Show();
  auto actor = backend.Actor();
  actor.Type("UserNameEdit", "MOTHERHOOD-LONG");
  EXPECT_EQ(table.State(), DataSetState::Edit);
  actor.Check("DBCheckBox4", false);
  actor.Check("DBCheckBox3", false);
  actor.Select("AgeCombo", "preschool");
  EXPECT_EQ(form.userName.Text(), "MOTHERHOOD");  // the field holds 10 characters
  table.Post();
  table.First();
  EXPECT_EQ(table.FieldByName("UserName").AsString(), "MOTHERHOOD");
  EXPECT_EQ(table.FieldByName("Adult").AsString(), "N");
  EXPECT_FALSE(table.FieldByName("Porn").AsBoolean());
  EXPECT_EQ(table.FieldByName("Age").AsString(), "Preschool");
}

TEST_F(DataControlsTest, CodeCheckingBoxesWritesDuringInsert) {
  form.source.SetEnabled(true);
  table.Append();
  form.adult.SetChecked(true);
  form.porn.SetChecked(true);
  EXPECT_EQ(table.FieldByName("Adult").AsString(), "Y");
  EXPECT_TRUE(table.FieldByName("Porn").AsBoolean());
  EXPECT_EQ(form.userName.Text(), "");
}

TEST_F(DataControlsTest, CancelShowsTheStoredValuesAgain) {
  form.source.SetEnabled(true);
  form.userName.SetText("CHANGED");
  table.Cancel();
  EXPECT_EQ(form.userName.Text(), "PARENT");
  EXPECT_EQ(table.FieldByName("UserName").AsString(), "PARENT");
}

TEST_F(DataControlsTest, WithoutAutoEditABrowsingDatasetRefusesTheChange) {
  form.source.SetEnabled(true);
  form.source.SetAutoEdit(false);
  EXPECT_THROW(form.userName.SetText("X"), db::EDatabaseError);
  EXPECT_THROW(form.adult.SetChecked(false), db::EDatabaseError);
  EXPECT_THROW(form.porn.SetChecked(false), db::EDatabaseError);
  EXPECT_THROW(form.age.EnterText("Preschool"), db::EDatabaseError);
  // The refused values are not left on screen as if they had been taken.
  EXPECT_EQ(form.userName.Text(), "PARENT");
  EXPECT_TRUE(form.adult.Checked());
  EXPECT_TRUE(form.porn.Checked());
  EXPECT_EQ(form.age.Text(), "Age 25-34");
  EXPECT_EQ(table.FieldByName("UserName").AsString(), "PARENT");
}

TEST_F(DataControlsTest, SeveralAcceptedTextsCheckTheBoxAndTheFirstIsWritten) {
  form.adult.SetValueChecked("Y;T;1");
  form.source.SetEnabled(true);
  table.Edit();
  table.FieldByName("Adult").SetAsString("t");
  EXPECT_TRUE(form.adult.Checked());
  form.adult.SetChecked(false);
  form.adult.SetChecked(true);
  EXPECT_EQ(table.FieldByName("Adult").AsString(), "Y");
}

TEST_F(DataControlsTest, DisabledControlsKeepShowingUntilEnabled) {
  form.source.SetEnabled(true);
  table.DisableControls();
  table.Next();
  EXPECT_EQ(form.userName.Text(), "PARENT");
  table.EnableControls();
  EXPECT_EQ(form.userName.Text(), "GUEST");
  EXPECT_FALSE(form.porn.Checked());
}

TEST_F(DataControlsTest, CodeWritingAFieldShowsInItsControlOnly) {
  form.source.SetEnabled(true);
  table.Edit();
  table.FieldByName("Age").SetAsString("Preschool");
  EXPECT_EQ(form.age.Text(), "Preschool");
  EXPECT_EQ(form.userName.Text(), "PARENT");
  table.Post();
  table.Next();
  table.First();
  EXPECT_EQ(form.age.ItemIndex(), 1);
}

TEST_F(DataControlsTest, UnknownFieldLeavesTheControlEmptyAndInactive) {
  form.source.SetEnabled(true);
  form.userName.SetDataField("Nickname");
  EXPECT_FALSE(form.userName.Link().Active());
  EXPECT_EQ(form.userName.Text(), "");
  EXPECT_THROW(form.userName.Link().Field(), db::EDatabaseError);
}

TEST_F(DataControlsTest, ClosingOrDestroyingTheSourceClearsControls) {
  form.source.SetEnabled(true);
  table.Close();
  EXPECT_EQ(form.userName.Text(), "");
  {
    db::TDataSource temporary;
    temporary.SetDataSet(&table);
    form.userName.SetDataSource(&temporary);
  }
  EXPECT_EQ(form.userName.DataSource(), nullptr);
}

}  // namespace
