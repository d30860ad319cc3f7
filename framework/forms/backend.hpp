#pragma once
// Backend: renders the application's forms and turns the user's actions into control events.
// The application runs the message loop and the timers; the backend supplies time, waits for
// input, and shows message and input boxes. Backends: ScriptBackend (headless, for tests and
// unattended runs), ConsoleBackend (a text terminal); a native Windows one fits the same
// interface.
#include <cstdint>
#include <optional>
#include <string>

#include "framework/forms/dialog_requests.hpp"

namespace platform {
class Clock;
}

namespace forms {

class TApplication;

class Backend {
 public:
  virtual ~Backend() = default;

  // The clock timers run on.
  virtual platform::Clock& Clock() = 0;
  // Something shown changed; render before waiting for input again.
  virtual void Invalidate() = 0;
  // Called around TApplication::Run (a terminal is taken over and given back here).
  virtual void BeginRun(TApplication& app) = 0;
  virtual void EndRun(TApplication& app) = 0;
  // Waits for the user at most `timeout` ms (no limit without a value), then hands what the
  // user did to the controls through app.Dispatch. May return without any input.
  virtual void WaitForInput(TApplication& app, std::optional<std::uint32_t> timeout) = 0;
  // Handles input that is already there, without waiting, and renders.
  virtual void HandlePendingInput(TApplication& app) = 0;
  // Shows a message box and returns the button pressed.
  virtual ModalResult ShowMessageBox(TApplication& app, const MessageRequest& request) = 0;
  // Shows an input box: the text entered, or nothing when the user cancelled.
  virtual std::optional<std::string> ShowInputBox(TApplication& app,
                                                  const InputRequest& request) = 0;
};

}  // namespace forms
