// The account form's three steps over a users table in memory: texts, Save's refusals, the
// added accounts, Cancel Entry, and the way to the finish page (also when the table cannot be
// opened).
#include "app/help.hpp"
#include "app/splash.hpp"
#include "app/user_account_rules.hpp"
#include "app/user_edit_texts.hpp"
#include "user_edit_form_fixture.hpp"

namespace app_test {
namespace {

using forms::ModalResult;

constexpr const char* kParentText =
    "Please set up the PARENT account on this computer. PARENT accounts have the ability to "
    "add, remove and edit accounts, block and unblock sites or categories, and add, remove or "
    "change keywords to be blocked. Please choose a password, and choose the categories of "
    "material that you want blocked for the PARENT account. We recommend that you choose a "
    "PARENT password that will be difficult for anyone to guess.";
constexpr const char* kGuestText =
    "Please set up a GUEST account on this computer. The GUEST account is the default account, "
    "meaning that this is the account that is automatically activated when you connect to the "
    "Internet.  Please choose which categories the GUEST account is blocked for, and whether or "
    "not this account is disabled upon start-up.";

TEST_F(UserEditFormTest, TheParentStepShowsThePreparedParentRecord) {
  ShowForm();
  app::TUserEditForm& form = Form();
  EXPECT_EQ(openedIn_, "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(form.Caption(), "Creating User Accounts");
  EXPECT_EQ(form.lblInstructions.Caption(), kParentText);
  EXPECT_EQ(form.tabsheetSetup.Caption(), "Setup");
  EXPECT_EQ(form.GroupBox1.Caption(), "User Information");
  EXPECT_EQ(form.Categorybox1.Caption(), "User is blocked from");
  EXPECT_EQ(form.Label1.Caption(), "User Name");
  EXPECT_EQ(form.Label2.Caption(), "User Password");
  EXPECT_EQ(form.Label4.Caption(), "Confirm Password");
  EXPECT_EQ(form.Label3.Caption(), "User Age");
  EXPECT_EQ(form.DBCheckBox5.Caption(), "Violence/Criminal Activity");
  EXPECT_EQ(form.chkSubmit.Caption(), "Allow site submission");
  EXPECT_EQ(form.SaveButton.Caption(), "Save");
  EXPECT_EQ(form.BitBtn2.Caption(), "Cancel Entry");
  EXPECT_FALSE(form.BitBtn2.Visible());
  EXPECT_TRUE(form.BitBtn2.Default());
  std::vector<std::string> tabOrder;
  for (const forms::TControl* control : form.GroupBox1.FocusableControls())
    tabOrder.push_back(control->Name());
  EXPECT_EQ(tabOrder,
            (std::vector<std::string>{"UserNameEdit", "UserPassEdit", "edtConfirm", "AgeCombo",
                                      "chkSubmit", "dbcheckLogit", "dbcheckBlock"}));

  // The PARENT record, its age set to the first entry and submission allowed, and posted.
  EXPECT_EQ(form.UserNameEdit.Text(), "PARENT");
  EXPECT_FALSE(form.UserNameEdit.Enabled());
  EXPECT_FALSE(form.chkSubmit.Enabled());
  EXPECT_TRUE(form.chkSubmit.Checked());
  EXPECT_EQ(form.AgeCombo.Text(), "Age 25-34");
  EXPECT_EQ(form.AgeCombo.Items().size(), 20u);
  EXPECT_EQ(form.UsersDB()->State(), db::DataSetState::Browse);
  const StoredAccount parent = CurrentAccount(*form.UsersDB());
  EXPECT_EQ(parent.age, "Age 25-34");
  EXPECT_TRUE(parent.submit);
  EXPECT_EQ(Application().Screen().ActiveControl(), &form.UserPassEdit);
  EXPECT_EQ(form.UserPassEdit.DisplayText(), "");
  EXPECT_EQ(form.UserStep(), 0);
}

TEST_F(UserEditFormTest, SavingParentPostsItAndMovesToTheGuestRecord) {
  ShowForm();
  forms::FormActor actor = Actor();
  actor.Type("UserPassEdit", "Secret");
  actor.Type("edtConfirm", "secret");  // letter case does not matter
  actor.Check("DBCheckBox3", false);
  actor.Select("AgeCombo", "Age 35-49");
  actor.Click("Save");

  app::TUserEditForm& form = Form();
  EXPECT_EQ(form.UserStep(), 2);
  EXPECT_EQ(form.Caption(), "Setup Guest (default) Account");
  EXPECT_EQ(form.lblInstructions.Caption(), kGuestText);
  EXPECT_EQ(form.Label2.Caption(), "");
  EXPECT_EQ(form.Label4.Caption(), "");
  EXPECT_FALSE(form.UserPassEdit.Enabled());
  EXPECT_FALSE(form.edtConfirm.Enabled());
  EXPECT_EQ(form.UserNameEdit.Text(), "GUEST");
  EXPECT_EQ(form.UsersDB()->State(), db::DataSetState::Browse);
  EXPECT_TRUE(script_.Messages().empty());

  const StoredAccount parent = Stored("PARENT");
  EXPECT_EQ(parent.password, "SECRET");  // the box takes upper case
  EXPECT_EQ(parent.age, "Age 35-49");
  EXPECT_FALSE(parent.blocked[0]);
}

TEST_F(UserEditFormTest, AnEmptyParentPasswordIsAccepted) {
  ShowForm();
  Actor().Click("Save");
  EXPECT_EQ(Form().UserStep(), 2);
  EXPECT_EQ(Stored("PARENT").password, "");
}

TEST_F(UserEditFormTest, PasswordsThatDifferAreRefusedAndTheConfirmationCleared) {
  ShowForm();
  script_.AnswerMessages({ModalResult::Ok});
  forms::FormActor actor = Actor();
  actor.Type("UserPassEdit", "abc");
  actor.Type("edtConfirm", "abd");
  actor.Click("Save");

  ASSERT_EQ(script_.Messages().size(), 1u);
  EXPECT_EQ(script_.Messages()[0].text, app::kPasswordsDifferMessage);
  EXPECT_EQ(script_.Messages()[0].caption, "Setup");
  EXPECT_EQ(Form().edtConfirm.Text(), "");
  EXPECT_EQ(Form().UserPassEdit.Text(), "ABC");
  EXPECT_EQ(Form().UserStep(), 0);
  EXPECT_EQ(Form().Caption(), "Creating User Accounts");

  // The refused Save leaves the step as it was: typing the confirmation again is enough.
  actor.Type("edtConfirm", "ABC");
  actor.Click("Save");
  EXPECT_EQ(Form().UserStep(), 2);
  EXPECT_EQ(Stored("PARENT").password, "ABC");
}

// The confirmation box takes no more than the password field holds, so a long password typed
// twice matches.
TEST_F(UserEditFormTest, ALongPasswordTypedTwiceMatches) {
  ShowForm();
  EXPECT_EQ(Form().edtConfirm.MaxLength(), 10);
  forms::FormActor actor = Actor();
  actor.Type("UserPassEdit", "abcdefghijkl");
  actor.Type("edtConfirm", "abcdefghijkl");
  actor.Click("Save");
  EXPECT_TRUE(script_.Messages().empty());
  EXPECT_EQ(Form().UserStep(), 2);
  EXPECT_EQ(Stored("PARENT").password, "ABCDEFGHIJ");
}

// The GUEST step is done with one Save although the confirmation still holds PARENT's
// password; its categories are kept when no accounts are added.
TEST_F(UserEditFormTest, TheGuestStepNeedsOneSaveAndNoEndsAtTheFinishPage) {
  ShowForm();
  forms::FormActor actor = Actor();
  actor.Type("UserPassEdit", "pw");
  actor.Type("edtConfirm", "pw");
  actor.Click("Save");
  actor.Check("DBCheckBox7", false);
  actor.Check("dbcheckBlock", true);
  script_.AnswerMessages({ModalResult::No, ModalResult::Cancel});
  ExpectFinishPage();
  actor.Click("Save");

  ASSERT_EQ(script_.Messages().size(), 2u);
  EXPECT_EQ(script_.Messages()[0].caption, "Add other users?");
  EXPECT_EQ(script_.Messages()[0].text, "Do you want to add other users now");
  EXPECT_EQ(script_.Messages()[0].buttons, forms::MessageButtons::YesNo);
  EXPECT_EQ(script_.Messages()[1].text, app::kStartNowQuestion);
  EXPECT_TRUE(script_.Done());
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(Form().Visible());
  EXPECT_EQ(Form().UserStep(), 3);
  EXPECT_EQ(Form().UsersDB(), nullptr);

  const StoredAccount guest = Stored("GUEST");
  EXPECT_FALSE(guest.blocked[4]);
  EXPECT_TRUE(guest.blocked[3]);
  EXPECT_TRUE(guest.wordBlock);
  EXPECT_EQ(guest.password, "");
  EXPECT_EQ(StoredAccounts(users_).size(), 3u);
}

// The filter program the finish page offers to start reads the users table: by then the form
// has stored its changes and closed the table.
TEST_F(UserEditFormTest, TheTableIsPostedAndClosedBeforeTheFilterCanStart) {
  ShowForm();
  Actor().Click("Save");
  Actor().Check("DBCheckBox4", false);
  bool closedWhenAsked = false;
  script_.onMessage = [&](const forms::MessageRequest& request) {
    if (request.text != app::kStartNowQuestion) return;
    closedWhenAsked = !users_.Active();
    EXPECT_FALSE(Stored("GUEST").blocked[1]);
  };
  script_.AnswerMessages({ModalResult::No, ModalResult::Cancel});
  ExpectFinishPage();
  Actor().Click("Save");
  EXPECT_TRUE(closedWhenAsked);
}

TEST_F(UserEditFormTest, YesOpensABlankAccountToAdd) {
  ShowForm();
  ReachAddedAccount();
  app::TUserEditForm& form = Form();
  EXPECT_EQ(form.UserStep(), 3);
  EXPECT_EQ(form.Label2.Caption(), "User Password");
  EXPECT_EQ(form.Label4.Caption(), "Confirm User Password");
  EXPECT_EQ(form.lblInstructions.Caption(),
            "Enter the user name in the space marked name, and the password in the space marked "
            "password.  '*'s will show in place of the password.  Click on SAVE to save, and "
            "QUIT when you are finished.");
  EXPECT_TRUE(form.BitBtn2.Visible());
  EXPECT_TRUE(form.UserNameEdit.Enabled());
  EXPECT_TRUE(form.chkSubmit.Enabled());
  EXPECT_TRUE(form.UserPassEdit.Enabled());
  EXPECT_TRUE(form.edtConfirm.Enabled());
  EXPECT_EQ(form.UserNameEdit.Text(), "");
  EXPECT_EQ(form.edtConfirm.Text(), "");
  EXPECT_EQ(form.UsersDB()->State(), db::DataSetState::Insert);

  ASSERT_EQ(form.AgeCombo.Items().size(), 18u);
  EXPECT_EQ(form.AgeCombo.Items().front(), "Preschool");
  EXPECT_EQ(form.AgeCombo.Items().back(), "Age 65 +");
  EXPECT_EQ(form.AgeCombo.Text(), "Preschool");
  for (std::string_view category : kCategories)
    EXPECT_TRUE(form.FlagBox(category)->Checked()) << category;
  EXPECT_FALSE(form.chkSubmit.Checked());
  EXPECT_TRUE(form.dbcheckLogit.Checked());
  EXPECT_TRUE(form.dbcheckBlock.Checked());
}

TEST_F(UserEditFormTest, AddedAccountsAreStoredAndTheQuestionComesAfterEach) {
  ShowForm();
  ReachAddedAccount();
  forms::FormActor actor = Actor();
  actor.Type("UserNameEdit", "Anna");
  actor.Type("UserPassEdit", "kitten");
  actor.Type("edtConfirm", "KITTEN");
  actor.Select("AgeCombo", "Grade 4");
  actor.Check("DBCheckBox8", false);
  actor.Check("chkSubmit", true);
  script_.AnswerMessages({ModalResult::Yes});
  actor.Click("Save");
  EXPECT_EQ(Form().UserStep(), 4);
  EXPECT_EQ(Form().UsersDB()->State(), db::DataSetState::Insert);

  actor.Type("UserNameEdit", "ben");
  script_.AnswerMessages({ModalResult::No, ModalResult::Cancel});
  ExpectFinishPage();
  actor.Click("Save");
  EXPECT_TRUE(Application().Terminated());

  const std::vector<StoredAccount> accounts = StoredAccounts(users_);
  ASSERT_EQ(accounts.size(), 5u);
  const StoredAccount& anna = accounts[3];
  EXPECT_EQ(anna.name, "ANNA");
  EXPECT_EQ(anna.password, "KITTEN");
  EXPECT_EQ(anna.age, "Grade 4");
  EXPECT_TRUE(anna.submit);
  EXPECT_TRUE(anna.logit);
  EXPECT_TRUE(anna.wordBlock);
  EXPECT_EQ(anna.blocked, (std::array<bool, 7>{true, true, true, true, true, false, true}));
  const StoredAccount& ben = accounts[4];
  EXPECT_EQ(ben.name, "BEN");
  EXPECT_EQ(ben.password, "");
  EXPECT_EQ(ben.age, "Preschool");
  EXPECT_FALSE(ben.submit);
}

TEST_F(UserEditFormTest, AnAddedAccountNeedsAFreeNameOfThreeLettersOrMore) {
  ShowForm();
  ReachAddedAccount();
  forms::FormActor actor = Actor();
  script_.AnswerMessages({ModalResult::Ok, ModalResult::Ok, ModalResult::Ok, ModalResult::Ok});
  for (const char* name : {"", "ab", "parent", "Guest"}) {
    actor.Type("UserNameEdit", name);
    actor.Click("Save");
  }
  ASSERT_EQ(script_.Messages().size(), 5u);  // after the Yes to "Add other users?"
  EXPECT_EQ(script_.Messages()[1].text, app::kNoUserNameMessage);
  EXPECT_EQ(script_.Messages()[2].text, app::kNoUserNameMessage);
  EXPECT_EQ(script_.Messages()[3].text, app::kInvalidUserNameMessage);
  EXPECT_EQ(script_.Messages()[4].text, app::kInvalidUserNameMessage);
  EXPECT_EQ(Form().UserStep(), 3);
  EXPECT_EQ(Form().UsersDB()->State(), db::DataSetState::Insert);

  actor.Type("UserNameEdit", "abc");
  script_.AnswerMessages({ModalResult::No, ModalResult::Cancel});
  ExpectFinishPage();
  actor.Click("Save");
  EXPECT_EQ(StoredAccounts(users_).back().name, "ABC");
}

TEST_F(UserEditFormTest, CancelEntryLeavesNoAccountBehind) {
  ShowForm();
  ReachAddedAccount();
  forms::FormActor actor = Actor();
  actor.Type("UserNameEdit", "temp");
  actor.Type("UserPassEdit", "x");
  script_.AnswerMessages({ModalResult::Cancel});
  ExpectFinishPage();
  actor.PressEnter();  // Cancel Entry is the form's default button

  EXPECT_TRUE(script_.Done());
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(users_.Active());
  const std::vector<StoredAccount> accounts = StoredAccounts(users_);
  ASSERT_EQ(accounts.size(), 3u);
  for (const StoredAccount& account : accounts)
    EXPECT_NE(account.name, "TEMP");
}

TEST_F(UserEditFormTest, ATableThatCannotBeOpenedIsReportedAndTheFinishPageFollows) {
  Forms().openUsersTable = [](const std::string& systemDir) -> std::unique_ptr<app::UsersTable> {
    throw db::EDatabaseError("Cannot find file " + systemDir + "\\KVUS.dat");
  };
  script_.AnswerMessages({ModalResult::Ok, ModalResult::Cancel});
  ExpectFinishPage();
  ShowForm();

  ASSERT_EQ(script_.Messages().size(), 2u);
  EXPECT_EQ(script_.Messages()[0].text, "Cannot find file C:\\WINDOWS\\SYSTEM\\KVUS.dat");
  EXPECT_EQ(script_.Messages()[0].icon, forms::MessageIcon::Error);
  EXPECT_EQ(script_.Messages()[1].text, app::kStartNowQuestion);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(Form().Visible());
  EXPECT_EQ(Form().UsersDB(), nullptr);
}

TEST_F(UserEditFormTest, ATableWithoutTheAccountFieldsIsReportedAndLeftAlone) {
  db::MemoryDataSet other({{"UserName", db::FieldType::String, 10}});
  Forms().openUsersTable = [&](const std::string&) {
    return std::make_unique<MemoryUsersTable>(other);
  };
  script_.AnswerMessages({ModalResult::Ok, ModalResult::Cancel});
  ExpectFinishPage();
  ShowForm();

  ASSERT_EQ(script_.Messages().size(), 2u);
  EXPECT_EQ(script_.Messages()[0].text, "Field 'UserPass' not found");
  EXPECT_TRUE(Application().Terminated());
}

TEST_F(UserEditFormTest, WithoutAWayToOpenTheTableTheStepIsNamedAsNotCarriedOut) {
  Forms().openUsersTable = nullptr;
  script_.AnswerMessages({ModalResult::Cancel});
  ExpectFinishPage();
  ShowForm();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(Forms().splashform->StepsNotCarriedOut(),
            std::vector<std::string>{std::string(app::kAccountSetupStep)});
  EXPECT_NE(Forms().frmHelp->FinishText.Text().find(app::kAccountSetupStep), std::string::npos);
}

}  // namespace
}  // namespace app_test
