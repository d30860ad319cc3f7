#pragma once
// ScriptBackend: the headless backend. Nothing is drawn; the user is a script. Tests drive it
// directly:
//
//   forms::ScriptBackend backend;            // runs on the current machine's clock
//   forms::TApplication app(backend);
//   auto& wizard = app.CreateForm<TSplashform>();
//   backend.Advance(5000);                   // virtual time: due timers fire
//   backend.Actor().Click("Next");           // the active form
//
// or through ScriptAnswers for a whole run (app.Run()). While the loop waits, the answers act
// on the active form; when they have nothing to do, the clock moves on to the next timer
// (Sleep on the machine clock: a virtual clock advances without real waiting); with no timer
// pending the run stops with EScriptError.
#include <cstdint>
#include <optional>
#include <string>

#include "framework/forms/backend.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/script_answers.hpp"

namespace forms {

class ScriptBackend : public Backend {
 public:
  // Uses the current machine's clock.
  ScriptBackend();
  explicit ScriptBackend(platform::Clock& clock);

  void SetAnswers(ScriptAnswers* answers) { answers_ = answers; }

  // Lets `milliseconds` of time pass, firing the timers as they fall due, in order.
  void Advance(std::uint32_t milliseconds);
  // Acts on the application's active form (EScriptError when no form is active).
  FormActor Actor();

  platform::Clock& Clock() override { return clock_; }
  void Invalidate() override {}
  void BeginRun(TApplication&) override {}
  void EndRun(TApplication&) override {}
  void WaitForInput(TApplication& app, std::optional<std::uint32_t> timeout) override;
  void HandlePendingInput(TApplication&) override {}
  ModalResult ShowMessageBox(TApplication& app, const MessageRequest& request) override;
  std::optional<std::string> ShowInputBox(TApplication& app, const InputRequest& request) override;

 private:
  platform::Clock& clock_;
  ScriptAnswers* answers_ = nullptr;
};

}  // namespace forms
