#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "framework/forms/application.hpp"
#include "framework/forms/db_check_box.hpp"
#include "framework/forms/db_combo_box.hpp"
#include "framework/forms/db_edit.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/script_backend.hpp"
#include "tests/tables/dataset/dataset_test_table.hpp"
#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tables::testing {
namespace {

using nlohmann::json;

constexpr const char* kKey = "q3#Lm9!";

class AccountForm : public forms::TForm {
 public:
  explicit AccountForm(db::TDataSet& users) : TForm("accounts") {
    source.SetDataSet(&users);
    source.SetEnabled(false);
    userName.SetDataSource(&source);
    userName.SetDataField("UserName");
    age.SetDataSource(&source);
    age.SetDataField("Age");
    age.SetItems({"Age 25-34", "Preschool", "Grade 1"});
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

class ScriptedFormTest : public DataSetTest {
 protected:
  ScriptedFormTest() {
    MakeDataSetTable(sim.machine(), StorageTestMachine::Path("KVUS.DAT"), 0x03,
                     {{"USERNAME", 'C', 10}, {"AGE", 'C', 20}, {"ADULT", 'C', 1}, {"PORN", 'L', 1}},
                     {{{"PARENT", "Age 25-34", "N", "F"}},
                      {{"GUEST", "Grade 1", "Y", "F"}},
                      {{"OLD", "Grade 1", "N", "T"}}},
                     kKey);
    users.SetTableName(StorageTestMachine::Path("KVUS.dat"));
    users.SetEncryptionKey(kKey);
    users.SetExclusive(true);
    users.Open();
    users.CreateIndexTag(StorageTestMachine::Path("KVUS.cdx"), "UserName", "upper(UserName)", "",
                         true, 0);
    users.Close();
    users.Open();
    users.OpenIndexes("\"" + StorageTestMachine::Path("KVUS.cdx") + "\"", "UserName");
  }

  json Export() {
    int status = -1;
    const std::string out = tools::xbtool::testing::RunProgram(
        {tools::xbtool::testing::XbtoolProgram(), "export",
         sim.HostPath("C:\\DATA\\KVUS.DAT").string(), "--json", "--key", kKey},
        status);
    EXPECT_EQ(status, 0);
    return json::parse(out);
  }

  forms::ScriptBackend backend{sim.clock()};
  forms::TApplication app{backend};
  TXbaseDataSet users{sim.machine(), "UsersDB"};
  AccountForm& form = app.CreateForm<AccountForm>(users);
};

TEST_F(ScriptedFormTest, FormEditsChangeExactlyTheRecordsTheyShould) {
  form.source.SetEnabled(true);
  form.Show();
  forms::FormActor actor = backend.Actor();

  ASSERT_TRUE(users.SeekKey("PARENT", true, false));
  EXPECT_EQ(form.userName.Text(), "PARENT");
  actor.Check("DBCheckBox3", true);
  actor.Select("AgeCombo", "Preschool");
  EXPECT_EQ(users.State(), db::DataSetState::Edit);

  // The search posts the pending PARENT changes first.
  ASSERT_TRUE(users.SeekKey("GUEST", true, false));
  EXPECT_EQ(form.userName.Text(), "GUEST");
  actor.Check("DBCheckBox4", false);
  users.Post();

  users.Append();
  actor.Type("UserNameEdit", "KID");
  actor.Select("AgeCombo", "Grade 1");
  actor.Check("DBCheckBox4", false);
  actor.Check("DBCheckBox3", true);
  users.Post();

  users.Append();
  actor.Type("UserNameEdit", "TEMP");
  users.Cancel();

  ASSERT_TRUE(users.SeekKey("OLD", true, false));
  actor.Type("UserNameEdit", "OLDER");
  users.Cancel();
  EXPECT_EQ(form.userName.Text(), "OLD");

  EXPECT_FALSE(users.SeekKey("TEMP", true, false));
  ASSERT_TRUE(users.SeekKey("KID", true, false));
  EXPECT_TRUE(form.porn.Checked());
  users.Close();

  const json expected = json::parse(R"([
    {"_recno": 1, "_deleted": false, "USERNAME": "PARENT", "AGE": "Preschool",
     "ADULT": "N", "PORN": true},
    {"_recno": 2, "_deleted": false, "USERNAME": "GUEST", "AGE": "Grade 1",
     "ADULT": "N", "PORN": false},
    {"_recno": 3, "_deleted": false, "USERNAME": "OLD", "AGE": "Grade 1",
     "ADULT": "N", "PORN": true},
    {"_recno": 4, "_deleted": false, "USERNAME": "KID", "AGE": "Grade 1",
     "ADULT": "N", "PORN": true}])");
  EXPECT_EQ(Export(), expected);

  int status = -1;
  const std::string report = tools::xbtool::testing::RunProgram(
      {tools::xbtool::testing::XbtoolProgram(), "verify",
       sim.HostPath("C:\\DATA\\KVUS.DAT").string(), "--index",
       sim.HostPath("C:\\DATA\\KVUS.CDX").string(), "--key", kKey},
      status);
  EXPECT_EQ(status, 0) << report;
}

}  // namespace
}  // namespace tables::testing
