#pragma once
// The account form of a running installer, shown on its own over a users table in memory that
// holds PARENT, GUEST and one further account, with a script that answers its questions.
#include <functional>
#include <memory>
#include <string>

#include "app/setup.hpp"
#include "app/user_edit_unit.hpp"
#include "framework/forms/script_backend.hpp"
#include "framework/forms/script_queue.hpp"
#include "memory_users_table.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {

// A script queue that also lets the test look at the program when each message comes.
class WatchingScript : public forms::ScriptQueue {
 public:
  std::function<void(const forms::MessageRequest&)> onMessage;
  std::optional<forms::ModalResult> AnswerMessage(const forms::MessageRequest& request) override;
};

class UserEditFormTest : public SimMachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  app::TUserEditForm& Form() { return *setup_->Forms().userEditForm; }
  app::SetupForms& Forms() { return setup_->Forms(); }
  forms::TApplication& Application() { return setup_->Application(); }
  forms::FormActor Actor() { return backend_->Actor(); }
  // Shows the form as the installation hands over to it.
  void ShowForm() { Form().Show(); }
  // The finish page's Finish, without starting the filter program.
  void ExpectFinishPage();
  // Saves the PARENT and GUEST steps as they stand and answers "Add other users?" with Yes.
  void ReachAddedAccount();
  StoredAccount Stored(std::string_view name);

  db::MemoryDataSet users_{UsersTableFields(), "UsersDB"};
  std::string openedIn_;  // the system folder the form opened the table in
  WatchingScript script_;
  std::unique_ptr<forms::ScriptBackend> backend_;
  std::unique_ptr<app::SetupProgram> setup_;
};

}  // namespace app_test
