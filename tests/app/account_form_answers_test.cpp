// Unattended installations that fill in the account form from the answer file's [Parent],
// [Guest] and [User.N] sections, over a users table in memory.
#include <sstream>

#include "tools/setup/answer_file.hpp"
#include "tools/setup/answer_script.hpp"
#include "user_edit_form_fixture.hpp"

namespace app_test {
namespace {

constexpr const char* kWizardAnswers =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=no\n";

class AccountFormAnswersTest : public UserEditFormTest {
 protected:
  // Runs the whole installation with these answers besides the wizard's; returns the
  // transcript.
  std::string Install(const std::string& accounts) {
    const setup_tool::AnswerFile answers =
        setup_tool::AnswerFile::Parse(std::string(kWizardAnswers) + accounts, "answers.ini");
    std::ostringstream transcript;
    setup_tool::AnswerScript script(answers, transcript);
    backend_->SetAnswers(&script);
    exitCode_ = setup_->Run();
    return transcript.str();
  }

  int exitCode_ = -1;
};

TEST_F(AccountFormAnswersTest, ParentGuestAndAddedAccountsComeFromTheirSections) {
  const std::string transcript = Install(
      "[Parent]\nPassword=Secret\nConfirm=secret\nAge=Age 35-49\nPorn=no\nLogit=no\n"
      "[Guest]\nAge=Grade 3\nViolence=no\nWordBlock=yes\n"
      "[User.1]\nName=anna\nPassword=kit\nConfirm=KIT\nAge=Grade 4\nSubmit=yes\nGamble=no\n"
      "[User.2]\nName=temp\nPassword=x\nConfirm=x\nCancel=yes\n");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_NE(transcript.find("Add other users? -> yes\nAdd other users? -> yes\n"),
            std::string::npos)
      << transcript;
  EXPECT_EQ(Form().UserStep(), 4);

  const std::vector<StoredAccount> accounts = StoredAccounts(users_);
  ASSERT_EQ(accounts.size(), 4u);  // TEMP was cancelled
  const StoredAccount& parent = accounts[1];
  EXPECT_EQ(parent.password, "SECRET");
  EXPECT_EQ(parent.age, "Age 35-49");
  EXPECT_TRUE(parent.submit);
  EXPECT_FALSE(parent.logit);
  EXPECT_FALSE(parent.blocked[0]);
  const StoredAccount& guest = accounts[2];
  EXPECT_EQ(guest.age, "Grade 3");
  EXPECT_TRUE(guest.wordBlock);
  EXPECT_EQ(guest.blocked, (std::array<bool, 7>{true, true, false, true, true, true, true}));
  const StoredAccount& anna = accounts[3];
  EXPECT_EQ(anna.name, "ANNA");
  EXPECT_EQ(anna.password, "KIT");
  EXPECT_EQ(anna.age, "Grade 4");
  EXPECT_TRUE(anna.submit);
  EXPECT_EQ(anna.blocked, (std::array<bool, 7>{true, true, true, true, true, false, true}));
}

// Without account sections every step is saved as the form shows it and no account is added.
TEST_F(AccountFormAnswersTest, KeysLeftOutKeepWhatTheFormShows) {
  const std::string transcript = Install("");
  EXPECT_EQ(exitCode_, 0);
  EXPECT_NE(transcript.find("Add other users? -> no\n"), std::string::npos) << transcript;
  const std::vector<StoredAccount> accounts = StoredAccounts(users_);
  ASSERT_EQ(accounts.size(), 3u);
  EXPECT_EQ(accounts[1].age, "Age 25-34");  // set when the form came up
  EXPECT_EQ(accounts[1].password, "");
  EXPECT_FALSE(accounts[1].logit);
  const StoredAccount& guest = accounts[2];
  EXPECT_EQ(guest.age, "Preschool");
  EXPECT_TRUE(guest.logit);
  EXPECT_EQ(guest.blocked, (std::array<bool, 7>{true, true, true, true, true, true, true}));
}

// A stored PARENT password the answers do not confirm makes the form refuse the Save; the run
// stops there instead of going on with an unanswered question.
TEST_F(AccountFormAnswersTest, ASaveTheFormRefusesStopsTheRun) {
  users_.Open();
  users_.First();
  users_.Next();
  users_.Edit();
  users_.FieldByName("UserPass").SetAsString("OLD");
  users_.Post();
  users_.Close();
  EXPECT_THROW(Install(""), forms::EScriptError);
}

}  // namespace
}  // namespace app_test
