// The account form's Save rules and the answer file's accounts, which are checked by them.
#include "tools/setup/account_answers.hpp"

#include "app/user_account_rules.hpp"
#include "setup_run_fixture.hpp"

namespace app_test {
namespace {

using app::AccountEntry;
using app::SaveRefusal;
using setup_tool::AccountAnswers;
using setup_tool::AnswerFile;
using setup_tool::EAccountAnswer;
using setup_tool::ReadAccountAnswers;

AccountAnswers Read(std::string_view text) {
  return ReadAccountAnswers(AnswerFile::Parse(text, "a.ini"));
}

// The message reading the text raises.
std::string Problem(std::string_view text) {
  try {
    Read(text);
  } catch (const platform::Exception& error) {
    return error.what();
  }
  return "no exception";
}

TEST(AccountRules, SaveRefusesShortNamesAddedReservedNamesAndDifferentPasswords) {
  EXPECT_EQ(SaveRefusal({"AB", "", "", true, false}), app::kNoUserNameMessage);
  EXPECT_EQ(SaveRefusal({"ABC", "", "", true, false}), std::nullopt);
  EXPECT_EQ(SaveRefusal({"parent", "", "", true, false}), app::kInvalidUserNameMessage);
  EXPECT_EQ(SaveRefusal({"Guest", "", "", true, false}), app::kInvalidUserNameMessage);
  EXPECT_EQ(SaveRefusal({"PARENT", "", "", false, false}), std::nullopt);
  EXPECT_EQ(SaveRefusal({"GUEST", "", "", false, false}), std::nullopt);
  EXPECT_EQ(SaveRefusal({"KIDS", "SECRET", "secret", true, false}), std::nullopt);
  EXPECT_EQ(SaveRefusal({"KIDS", "SECRET", "SECRE", true, false}), app::kPasswordsDifferMessage);
  // The short name is found first, as the form checks in that order.
  EXPECT_EQ(SaveRefusal({"", "A", "B", true, false}), app::kNoUserNameMessage);
  // The GUEST step saves whatever the confirmation box still holds.
  EXPECT_EQ(SaveRefusal({"GUEST", "", "PARENTPASS", false, true}), std::nullopt);
}

TEST(AccountRules, AddedAccountsChooseFromEighteenAges) {
  const auto ages = app::AddedUserAges();
  ASSERT_EQ(ages.size(), 18u);
  EXPECT_EQ(ages.front(), "Preschool");
  EXPECT_EQ(ages.back(), "Age 65 +");
  EXPECT_EQ(app::kDesignedAges.front(), "Age 25-34");
  EXPECT_EQ(app::kDesignedAges.back(), " ");
}

TEST(AccountAnswers, ReadsTheThreeKindsOfSection) {
  const AccountAnswers answers = Read(
      "[Parent]\nPassword=Owl7\nConfirm=owl7\nAge=age 35-49\nPorn=no\nLogit=yes\n"
      "[Guest]\nWeapon=no\nWordBlock=no\n"
      "[User.2]\nName=Tom\nCancel=yes\n"
      "[user.1]\nName=Kids\nPassword=crayon\nConfirm=CRAYON\nAge=Grade 3\nSubmit=yes\n");
  EXPECT_EQ(answers.parent.password, "Owl7");
  EXPECT_EQ(answers.parent.age, "Age 35-49");
  EXPECT_EQ(answers.parent.flags.at("Porn"), false);
  EXPECT_EQ(answers.parent.flags.at("Logit"), true);
  EXPECT_EQ(answers.parent.flags.count("Adult"), 0u);  // left out: the form's value stays
  EXPECT_FALSE(answers.guest.age.has_value());
  EXPECT_EQ(answers.guest.flags.at("WordBlock"), false);
  ASSERT_EQ(answers.added.size(), 2u);
  EXPECT_EQ(answers.added[0].section, "User.1");
  EXPECT_EQ(answers.added[0].name, "Kids");
  EXPECT_EQ(answers.added[0].flags.at("Submit"), true);
  EXPECT_FALSE(answers.added[0].cancel);
  EXPECT_EQ(answers.added[1].name, "Tom");
  EXPECT_TRUE(answers.added[1].cancel);
  EXPECT_TRUE(Read("[Setup]\nLicense=accept\n").added.empty());
}

TEST(AccountAnswers, RefusalsCarryTheFormsOwnMessages) {
  struct Case {
    const char* text;
    std::string_view message;
  };
  const Case cases[] = {
      {"[User.1]\nName=AB\n", app::kNoUserNameMessage},
      {"[User.1]\nPassword=x\nConfirm=x\n", app::kNoUserNameMessage},
      {"[User.1]\nName=parent\n", app::kInvalidUserNameMessage},
      {"[User.1]\nName=Guest\n", app::kInvalidUserNameMessage},
      {"[Parent]\nPassword=secret\nConfirm=secrets\n", app::kPasswordsDifferMessage},
      {"[Parent]\nPassword=secret\n", app::kPasswordsDifferMessage},
      {"[User.1]\nName=Kids\nConfirm=x\n", app::kPasswordsDifferMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      Read(c.text);
      ADD_FAILURE() << "no exception";
    } catch (const EAccountAnswer& error) {
      EXPECT_EQ(error.FormMessage(), c.message);
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos);
    }
  }
  // A cancelled entry is never saved, so it is not checked.
  EXPECT_NO_THROW(Read("[User.1]\nName=AB\nCancel=yes\n"));
}

TEST(AccountAnswers, AnswersTheFormCannotTakeAreFileMistakes) {
  EXPECT_EQ(Problem("[User.2]\nName=Tom\n"),
            "Answer file a.ini, [User.2]: the accounts are numbered from [User.1] without a gap");
  EXPECT_EQ(Problem("[User.1]\n[User.99999999999999999999]\n"),
            "Answer file a.ini, [User.99999999999999999999]: the accounts are numbered from "
            "[User.1] without a gap");
  EXPECT_EQ(Problem("[User.1]\nName=Kids\nCancel=yes\n[User.2]\nName=Tom\n"),
            "Answer file a.ini, [User.2]: comes after [User.1], whose Cancel=yes ends the "
            "adding of accounts");
  EXPECT_EQ(Problem("[User.1]\nName=ABCDEFGHIJK\n"),
            "Answer file a.ini, [User.1]: Name is longer than the 10 characters its box takes");
  EXPECT_EQ(Problem("[Parent]\nPassword=12345678901\nConfirm=12345678901\n"),
            "Answer file a.ini, [Parent]: Password is longer than the 10 characters its box "
            "takes");
  // The confirmation box takes no more than the password box.
  EXPECT_EQ(Problem("[User.1]\nName=Kids\nPassword=1234567890\nConfirm=12345678901\n"),
            "Answer file a.ini, [User.1]: Confirm is longer than the 10 characters its box "
            "takes");
  EXPECT_NE(Problem("[User.1]\nName=Kids\nAge=Age 25-34x\n").find("is not in the age box"),
            std::string::npos);
  EXPECT_EQ(Problem("[Parent]\nSubmit=yes\n"),
            "Answer file a.ini, line 2: unknown key Submit in [Parent]");
  EXPECT_EQ(Problem("[Guest]\nPassword=x\n"),
            "Answer file a.ini, line 2: unknown key Password in [Guest]");
  EXPECT_EQ(Problem("[Parent]\nName=BOSS\n"),
            "Answer file a.ini, line 2: unknown key Name in [Parent]");
  EXPECT_EQ(Problem("[User.01]\n"), "Answer file a.ini, line 1: unknown section [User.01]");
  EXPECT_EQ(Problem("[User.x]\n"), "Answer file a.ini, line 1: unknown section [User.x]");
  EXPECT_EQ(Problem("[User.1]\nPorn=maybe\n"),
            "Answer file a.ini, line 2: Porn must be yes or no, not \"maybe\"");
}

class AccountAnswersRunTest : public SetupRunTest {};

TEST_F(AccountAnswersRunTest, ARefusedAccountStopsTheRunWithExitOneBeforeAnyChange) {
  MakeMachine("win98");
  const auto before = MachineState();
  const SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=no\n"
      "[User.1]\nName=guest\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("[User.1]: Invalid User Name"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(MachineState(), before);
}

TEST_F(AccountAnswersRunTest, AcceptedAccountsLetTheRunGoOn) {
  MakeMachine("win98");
  const SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=no\n"
      "[Parent]\nPassword=owl7\nConfirm=OWL7\n[User.1]\nName=Kids\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
}

}  // namespace
}  // namespace app_test
