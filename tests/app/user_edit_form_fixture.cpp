#include "user_edit_form_fixture.hpp"

#include "app/user_edit_texts.hpp"

namespace app_test {

std::optional<forms::ModalResult> WatchingScript::AnswerMessage(
    const forms::MessageRequest& request) {
  if (onMessage) onMessage(request);
  return ScriptQueue::AnswerMessage(request);
}

void UserEditFormTest::SetUp() {
  MakeMachine("win98");
  users_.Open();
  AppendAccount(users_, {"KIDS", "TOYS", "Grade 3", false, true, true, {true, true}});
  AppendAccount(users_, {"PARENT", "", "Grade 5", false, false, false, {}});
  AppendAccount(
      users_,
      {"GUEST", "", "Preschool", false, true, false, {true, true, true, true, true, true, true}});
  users_.Close();
  backend_ = std::make_unique<forms::ScriptBackend>();
  backend_->SetAnswers(&script_);
  setup_ = std::make_unique<app::SetupProgram>(*backend_);
  Forms().openUsersTable = [this](const std::string& systemDir) {
    openedIn_ = systemDir;
    return std::make_unique<MemoryUsersTable>(users_);
  };
}

void UserEditFormTest::TearDown() {
  setup_.reset();
  backend_.reset();
  SimMachineTest::TearDown();
}

void UserEditFormTest::ExpectFinishPage() {
  script_.Then([](forms::FormActor& form) {
    EXPECT_EQ(form.Caption(), "Installation Complete");
    form.Click("Finish");
  });
}

void UserEditFormTest::ReachAddedAccount() {
  script_.AnswerMessages({forms::ModalResult::Yes});
  Actor().Click("Save");
  Actor().Click("Save");
  ASSERT_EQ(Form().Caption(), app::kAddUsersCaption);
}

StoredAccount UserEditFormTest::Stored(std::string_view name) {
  for (const StoredAccount& account : StoredAccounts(users_))
    if (account.name == name) return account;
  ADD_FAILURE() << "no account " << name;
  return {};
}

}  // namespace app_test
