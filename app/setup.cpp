#include "app/setup.hpp"

#include "app/help.hpp"
#include "app/splash.hpp"
#include "app/unit1.hpp"
#include "app/user_edit_unit.hpp"
#include "app/users_table_dataset.hpp"

namespace app {

SetupProgram::SetupProgram(forms::Backend& backend) : application_(backend) {
  application_.SetTitle(std::string(kApplicationTitle));
  application_.OnException = [this](const std::exception& error) { HandleError(error); };
  application_.CreateForm<TSplashform>(forms_);
  application_.CreateForm<TUserEditForm>(forms_);
  application_.CreateForm<TfrmHelp>(forms_);
  forms_.start = &application_.CreateForm<TStart>();
  forms_.openUsersTable = OpenUsersTable;
}

int SetupProgram::Run() {
  application_.Run();
  return application_.ExitCode();
}

void SetupProgram::HandleError(const std::exception& error) {
  application_.ShowException(error);
  if (forms_.splashform && forms_.splashform->InstallStarted()) {
    application_.SetExitCode(1);
    application_.Terminate();
  }
}

}  // namespace app
