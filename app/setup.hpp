#pragma once
// The installer program: the application object titled "Setup" with the wizard (the main
// form), the user-account form, the finish form and the never-shown TStart, made in that
// order, and its top-level error handling.
//
//   forms::ScriptBackend backend;
//   app::SetupProgram setup(backend);
//   int exitCode = setup.Run();
#include "app/setup_forms.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/backend.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/engine.hpp"

namespace app {

inline constexpr std::string_view kApplicationTitle = "Setup";

class SetupProgram {
 public:
  // Runs on the current machine, rendered by the backend.
  explicit SetupProgram(forms::Backend& backend);
  SetupProgram(const SetupProgram&) = delete;
  SetupProgram& operator=(const SetupProgram&) = delete;

  forms::TApplication& Application() { return application_; }
  SetupForms& Forms() { return forms_; }

  // Runs the message loop until the program ends; returns its exit code.
  int Run();

 private:
  // Shows the error; once the installation has begun, the program ends with exit code 1
  // (what was done stays done).
  void HandleError(const std::exception& error);

  // The table engine's process-wide objects and expression functions, from start to exit:
  // made before the forms and their tables, released after them.
  tables::XbEngineScope engine_;
  tables::TxbExpEngineScope expressions_;
  forms::TApplication application_;
  // After the application: the forms it does not own go first.
  SetupForms forms_;
};

}  // namespace app
