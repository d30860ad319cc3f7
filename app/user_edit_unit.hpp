#pragma once
// TUserEditForm: the user-account form of a new installation. Three steps over the users
// table: the PARENT account (password and categories), the GUEST account (categories), then as
// many further accounts as the user wants to add. Each Save is checked by the account rules;
// when the user is done (No to "Add other users?", or "Cancel Entry") the table is posted and
// closed and the finish page follows. A users table that cannot be opened is reported and the
// finish page follows as well.
#include <memory>
#include <string_view>

#include "app/setup_forms.hpp"
#include "app/users_table.hpp"
#include "framework/db/data_source.hpp"
#include "framework/forms/button.hpp"
#include "framework/forms/db_check_box.hpp"
#include "framework/forms/db_combo_box.hpp"
#include "framework/forms/db_edit.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/group_box.hpp"
#include "framework/forms/label.hpp"
#include "framework/forms/page_control.hpp"

namespace app {

// A step of the installation the account form stands for, when the installer has no way to
// open the users table: the shipped accounts are then installed as they come.
inline constexpr std::string_view kAccountSetupStep =
    "setting up the PARENT and GUEST accounts (they are installed as shipped, without a "
    "password)";

class TUserEditForm : public forms::TForm {
 public:
  // Accepted Save presses: 0 at the PARENT step, 2 at the GUEST step, 3 and more while adding.
  static constexpr int kParentStep = 0;
  static constexpr int kGuestStep = 2;
  static constexpr int kFirstAddedStep = 3;

  explicit TUserEditForm(SetupForms& forms);
  ~TUserEditForm() override;

  forms::TPageControl pagecontrolSetup{*this, "pagecontrolSetup"};
  forms::TTabSheet tabsheetSetup{pagecontrolSetup, "tabsheetSetup"};
  forms::TLabel lblInstructions{tabsheetSetup, "lblInstructions"};
  forms::TGroupBox GroupBox1{tabsheetSetup, "GroupBox1"};
  forms::TLabel Label1{GroupBox1, "Label1"};
  forms::TLabel Label2{GroupBox1, "Label2"};
  forms::TLabel Label4{GroupBox1, "Label4"};
  forms::TLabel Label3{GroupBox1, "Label3"};
  // In tab order.
  forms::TDBEdit UserNameEdit{GroupBox1, "UserNameEdit"};
  forms::TDBEdit UserPassEdit{GroupBox1, "UserPassEdit"};
  forms::TEdit edtConfirm{GroupBox1, "edtConfirm"};
  forms::TDBComboBox AgeCombo{GroupBox1, "AgeCombo"};
  forms::TDBCheckBox chkSubmit{GroupBox1, "chkSubmit"};
  forms::TDBCheckBox dbcheckLogit{GroupBox1, "dbcheckLogit"};
  forms::TDBCheckBox dbcheckBlock{GroupBox1, "dbcheckBlock"};
  forms::TGroupBox Categorybox1{tabsheetSetup, "Categorybox1"};
  forms::TDBCheckBox DBCheckBox3{Categorybox1, "DBCheckBox3"};
  forms::TDBCheckBox DBCheckBox4{Categorybox1, "DBCheckBox4"};
  forms::TDBCheckBox DBCheckBox5{Categorybox1, "DBCheckBox5"};
  forms::TDBCheckBox DBCheckBox6{Categorybox1, "DBCheckBox6"};
  forms::TDBCheckBox DBCheckBox7{Categorybox1, "DBCheckBox7"};
  forms::TDBCheckBox DBCheckBox8{Categorybox1, "DBCheckBox8"};
  forms::TDBCheckBox DBCheckBox9{Categorybox1, "DBCheckBox9"};
  forms::TBitBtn BitBtn2{*this, "BitBtn2"};
  forms::TButton SaveButton{*this, "SaveButton"};
  db::TDataSource UserSource;

  int UserStep() const { return userStep_; }
  // The check box bound to a truth-value field ("Submit", "Porn", ...); nullptr for another.
  forms::TDBCheckBox* FlagBox(std::string_view field);
  // The users table while the form works on it (closed before the finish page).
  db::TDataSet* UsersDB() const;

  void FormActivate();
  void SaveButtonClick();
  void BitBtn2Click();

 private:
  void LayOutControls();
  void BindControls();
  bool OpenUsersTable();
  void ShowParentRecord();
  bool Refused();
  void BeginGuestStep();
  void FinishAccount();
  void BeginAddedAccount();
  void CloseUsersTable();
  void HandOverToFinishPage();

  SetupForms& forms_;
  std::unique_ptr<UsersTable> usersTable_;
  int userStep_ = kParentStep;
  bool activated_ = false;
};

}  // namespace app
