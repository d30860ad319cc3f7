#include "app/user_edit_unit.hpp"

#include <span>
#include <string>
#include <vector>

#include "app/help.hpp"
#include "app/splash.hpp"
#include "app/user_account_rules.hpp"
#include "app/user_edit_texts.hpp"
#include "framework/db/field_def.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/dialogs.hpp"

namespace app {
namespace {

// Every field the form reads or writes: a table without one of them cannot be worked on.
constexpr std::array<std::string_view, 6> kAccountFields{"UserName", "UserPass", "Age",
                                                         "Submit",   "Logit",    "WordBlock"};
constexpr std::string_view kParentName = "PARENT";
constexpr std::string_view kGuestName = "GUEST";
constexpr int kRowHeight = 24;

std::string Joined(std::span<const std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces)
    text += piece;
  return text;
}

std::vector<std::string> Texts(std::span<const std::string_view> items) {
  return {items.begin(), items.end()};
}

void RequireAccountFields(const db::TDataSet& users) {
  for (std::string_view field : kAccountFields)
    users.FieldByName(field);
  for (std::string_view field : kCategoryFields)
    users.FieldByName(field);
}

// A check box of the form and the truth-value field it shows, with the texts that stand for
// true and false when the field is stored as text.
struct FlagBinding {
  forms::TDBCheckBox TUserEditForm::*box;
  std::string_view field;
  std::string_view caption;
  std::string_view checked;
  std::string_view unchecked;
  int row;  // in its group box
};

constexpr std::array<FlagBinding, 10> kFlagBindings{{
    {&TUserEditForm::chkSubmit, "Submit", "Allow site submission", "True", "False", 7},
    {&TUserEditForm::dbcheckLogit, "Logit", "Log history", "True", "False", 8},
    {&TUserEditForm::dbcheckBlock, "WordBlock", "Block by word", "True", "False", 9},
    {&TUserEditForm::DBCheckBox3, "Porn", "Pornography", "T", "F", 0},
    {&TUserEditForm::DBCheckBox4, "Adult", "Adult Subjects", "Y", "N", 1},
    {&TUserEditForm::DBCheckBox5, "Violence", "Violence/Criminal Activity", "Y", "N", 2},
    {&TUserEditForm::DBCheckBox6, "Hate", "Hate/Persecution", "Y", "N", 3},
    {&TUserEditForm::DBCheckBox7, "Drugs", "Drugs/Alcohol", "Y", "N", 4},
    {&TUserEditForm::DBCheckBox8, "Gamble", "Gambling", "Y", "N", 5},
    {&TUserEditForm::DBCheckBox9, "Weapon", "Weaponry", "Y", "N", 6},
}};

}  // namespace

TUserEditForm::TUserEditForm(SetupForms& forms) : TForm("UserEditForm"), forms_(forms) {
  SetCaption(std::string(kParentStepCaption));
  SetBorderIcons({});
  SetBounds(0, 0, 473, 471);
  SetPosition(forms::TPosition::DesktopCenter);
  LayOutControls();
  BindControls();
  BitBtn2.OnClick = [this] { BitBtn2Click(); };
  SaveButton.OnClick = [this] { SaveButtonClick(); };
  OnActivate = [this] { FormActivate(); };
  forms_.userEditForm = this;
}

TUserEditForm::~TUserEditForm() {
  UserSource.SetDataSet(nullptr);
}

db::TDataSet* TUserEditForm::UsersDB() const {
  return usersTable_ ? &usersTable_->DataSet() : nullptr;
}

void TUserEditForm::LayOutControls() {
  pagecontrolSetup.SetBounds(8, 8, 449, 385);
  tabsheetSetup.SetCaption("Setup");
  lblInstructions.SetBounds(12, 8, 415, 77);
  lblInstructions.SetWordWrap(true);

  GroupBox1.SetBounds(8, 92, 210, 258);
  GroupBox1.SetCaption("User Information");
  Label1.SetBounds(12, 18, 120, 13);
  Label1.SetCaption("User Name");
  UserNameEdit.SetBounds(12, 32, 120, 21);
  Label2.SetBounds(12, 58, 120, 13);
  Label2.SetCaption(std::string(kPasswordLabel));
  UserPassEdit.SetBounds(12, 72, 120, 21);
  UserPassEdit.SetPasswordChar('*');
  Label4.SetBounds(12, 98, 150, 13);
  Label4.SetCaption(std::string(kConfirmLabel));
  edtConfirm.SetBounds(12, 112, 120, 21);
  edtConfirm.SetPasswordChar('*');
  Label3.SetBounds(12, 138, 120, 13);
  Label3.SetCaption("User Age");
  AgeCombo.SetBounds(12, 152, 120, 21);
  AgeCombo.SetItems(Texts(kDesignedAges));

  Categorybox1.SetBounds(226, 92, 205, 258);
  Categorybox1.SetCaption("User is blocked from");

  BitBtn2.SetBounds(280, 402, 81, 27);
  BitBtn2.SetCaption("Cancel Entry");
  BitBtn2.SetDefault(true);
  BitBtn2.Hide();
  SaveButton.SetBounds(368, 402, 81, 27);
  SaveButton.SetCaption("Save");
}

// The edits, the age box and the ten check boxes (placed here from their binding table) show
// the users table through UserSource.
void TUserEditForm::BindControls() {
  UserSource.SetEnabled(false);
  UserNameEdit.SetCharCase(forms::TEditCharCase::UpperCase);
  UserPassEdit.SetCharCase(forms::TEditCharCase::UpperCase);
  UserNameEdit.SetDataSource(&UserSource);
  UserNameEdit.SetDataField("UserName");
  UserPassEdit.SetDataSource(&UserSource);
  UserPassEdit.SetDataField("UserPass");
  AgeCombo.SetDataSource(&UserSource);
  AgeCombo.SetDataField("Age");
  for (const FlagBinding& binding : kFlagBindings) {
    forms::TDBCheckBox& box = this->*binding.box;
    box.SetBounds(12, 20 + binding.row * kRowHeight, 180, 17);
    box.SetCaption(std::string(binding.caption));
    box.SetDataSource(&UserSource);
    box.SetDataField(std::string(binding.field));
    box.SetValueChecked(std::string(binding.checked));
    box.SetValueUnchecked(std::string(binding.unchecked));
  }
}

forms::TDBCheckBox* TUserEditForm::FlagBox(std::string_view field) {
  for (const FlagBinding& binding : kFlagBindings)
    if (db::SameFieldName(binding.field, field)) return &(this->*binding.box);
  return nullptr;
}

// Runs once: a message box closing activates the form again.
void TUserEditForm::FormActivate() {
  if (activated_) return;
  activated_ = true;
  AgeCombo.SetItemIndex(0);
  UserPassEdit.SetFocus();
  BitBtn2.Hide();
  UserNameEdit.SetEnabled(false);
  chkSubmit.SetEnabled(false);
  UserSource.SetEnabled(true);
  if (!OpenUsersTable()) return;
  ShowParentRecord();
  lblInstructions.SetCaption(Joined(kParentInstructions));
}

bool TUserEditForm::OpenUsersTable() {
  if (!forms_.openUsersTable) {
    forms_.splashform->NoteStepNotCarriedOut(kAccountSetupStep);
    HandOverToFinishPage();
    return false;
  }
  try {
    usersTable_ = forms_.openUsersTable(forms_.splashform->SystemDir());
    RequireAccountFields(usersTable_->DataSet());
  } catch (const std::exception& error) {
    // Nothing on the form can be saved without the table: say why and go on to the end.
    usersTable_.reset();
    forms::Application().ShowException(error);
    HandOverToFinishPage();
    return false;
  }
  UserSource.SetDataSet(&usersTable_->DataSet());
  // The confirmation is compared with the password, so it takes no more than the field holds.
  edtConfirm.SetMaxLength(usersTable_->DataSet().FieldByName("UserPass").Size());
  return true;
}

void TUserEditForm::ShowParentRecord() {
  if (!usersTable_->SeekUserName(kParentName)) return;
  db::TDataSet& users = usersTable_->DataSet();
  users.Edit();
  users.FieldByName("Age").SetAsString(kDesignedAges.front());
  users.FieldByName("Submit").SetAsBoolean(true);
  users.Post();
}

void TUserEditForm::SaveButtonClick() {
  UserPassEdit.SetEnabled(true);
  edtConfirm.SetEnabled(true);
  if (Refused()) return;
  ++userStep_;
  if (userStep_ == 1) {
    BeginGuestStep();
  } else {
    FinishAccount();
  }
}

bool TUserEditForm::Refused() {
  const AccountEntry entry{UserNameEdit.Text(), UserPassEdit.Text(), edtConfirm.Text(),
                           usersTable_->DataSet().State() == db::DataSetState::Insert,
                           userStep_ == kGuestStep};
  const std::optional<std::string_view> refusal = SaveRefusal(entry);
  if (!refusal) return false;
  forms::ShowMessage(std::string(*refusal));
  if (*refusal == kPasswordsDifferMessage) edtConfirm.Clear();
  return true;
}

void TUserEditForm::BeginGuestStep() {
  UserPassEdit.SetEnabled(false);
  edtConfirm.SetEnabled(false);
  // The search posts the PARENT record first.
  usersTable_->SeekUserName(kGuestName);
  userStep_ = kGuestStep;
  SetCaption(std::string(kGuestStepCaption));
  Label2.SetCaption({});
  Label4.SetCaption({});
  lblInstructions.SetCaption(Joined(kGuestInstructions));
}

void TUserEditForm::FinishAccount() {
  SetCaption(std::string(kAddUsersCaption));
  Label2.SetCaption(std::string(kPasswordLabel));
  Label4.SetCaption(std::string(kConfirmUserLabel));
  UserPassEdit.SetEnabled(true);
  edtConfirm.SetEnabled(true);
  usersTable_->DataSet().CheckBrowseMode();
  if (forms::MessageBox(std::string(kAddUsersQuestion), std::string(kAddUsersQuestionCaption),
                        forms::MessageButtons::YesNo) == forms::ModalResult::Yes) {
    BeginAddedAccount();
  } else {
    HandOverToFinishPage();
  }
}

void TUserEditForm::BeginAddedAccount() {
  AgeCombo.SetItems(Texts(AddedUserAges()));
  db::TDataSet& users = usersTable_->DataSet();
  users.Append();
  users.FieldByName("UserName").SetAsString("");
  users.FieldByName("Age").SetAsString(AddedUserAges().front());
  for (std::string_view category : kCategoryFields)
    users.FieldByName(category).SetAsBoolean(true);
  users.FieldByName("Submit").SetAsBoolean(false);
  users.FieldByName("Logit").SetAsBoolean(true);
  users.FieldByName("WordBlock").SetAsBoolean(true);
  for (std::string_view category : kCategoryFields)
    FlagBox(category)->SetChecked(true);
  chkSubmit.SetChecked(false);
  dbcheckBlock.SetChecked(true);
  lblInstructions.SetCaption(std::string(kAddUserInstructions));
  BitBtn2.Show();
  chkSubmit.SetEnabled(true);
  UserNameEdit.SetEnabled(true);
  edtConfirm.Clear();
}

void TUserEditForm::BitBtn2Click() {
  usersTable_->DataSet().Cancel();
  HandOverToFinishPage();
}

// The filter program the finish page may start opens the users table itself: it gets it
// complete and closed.
void TUserEditForm::CloseUsersTable() {
  if (!usersTable_) return;
  db::TDataSet& users = usersTable_->DataSet();
  users.CheckBrowseMode();
  UserSource.SetDataSet(nullptr);
  users.Close();
  usersTable_.reset();
}

void TUserEditForm::HandOverToFinishPage() {
  CloseUsersTable();
  Hide();
  forms_.frmHelp->ShowModal();
  Close();
}

}  // namespace app
