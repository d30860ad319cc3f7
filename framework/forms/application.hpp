#pragma once
// TApplication: the program's application object. One exists while the program runs (made in
// main with the backend that renders it) and is reached through forms::Application():
//
//   forms::ScriptBackend backend;           // or ConsoleBackend
//   forms::TApplication app(backend);
//   app.SetTitle("Setup");
//   app.CreateForm<TSplashform>();          // the first form made is the main form
//   app.CreateForm<TUserEditForm>();
//   app.Run();                              // until Terminate (or the main form closes)
//   return app.ExitCode();
//
// Events raised from the message loop (clicks, timers, form events) that throw are caught
// there: OnException gets the exception when set, otherwise ShowException shows its text in a
// message box titled with the application title; the program goes on. Failures of the
// backend itself (EBackendFailure: an unanswered scripted question, a lost terminal) are not
// caught and leave Run.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/forms/colors.hpp"
#include "framework/forms/dialog_requests.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/message.hpp"
#include "framework/forms/picture.hpp"
#include "framework/forms/screen.hpp"
#include "platform/exception.hpp"

namespace platform {
class Clock;
}

namespace forms {

class Backend;
class TTimer;

// A failure of the backend (not of the program's own code): never swallowed by the
// application's exception handler.
class EBackendFailure : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// An operation that the object's state does not allow ("Cannot make a visible window modal").
class EInvalidOperation : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

// The application's own window (it stands for the program on the taskbar).
struct ApplicationWindow {
  bool visible = true;
  std::uint32_t exStyle = 0;  // ws_ex flags
  int left = 0, top = 0, width = 0, height = 0;
};

class TApplication {
 public:
  // Makes this the current application; the backend must outlive it.
  explicit TApplication(Backend& backend);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  Backend& GetBackend() { return backend_; }
  platform::Clock& Clock();
  TScreen& Screen() { return screen_; }

  // Makes a form owned by the application, tells its components it is built, fires its
  // OnCreate (errors there go to the exception handler) and returns it. The first form made
  // becomes the main form.
  template <class Form, class... Args>
  Form& CreateForm(Args&&... args) {
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    Form& result = *form;
    AdoptForm(std::move(form));
    return result;
  }
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form (when ShowMainForm) and runs the message loop until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Lets pending input and due timers run, then renders.
  void ProcessMessages();
  // Runs the message loop until done() holds (used by ShowModal and modal backends).
  void LoopUntil(const std::function<bool()>& done);

  int ExitCode() const { return exitCode_; }
  void SetExitCode(int code) { exitCode_ = code; }

  // Runs an action the way the message loop runs event handlers: an exception it raises goes
  // to HandleException (backend failures pass through).
  void Dispatch(const std::function<void()>& action);
  void HandleException(const std::exception& error);
  void ShowException(const std::exception& error);

  // Message box owned by the application (the text, then the caption, as Win32 has it).
  ModalResult MessageBox(const std::string& text, const std::string& caption,
                         MessageButtons buttons = MessageButtons::Ok,
                         ModalResult defaultButton = ModalResult::None,
                         MessageIcon icon = MessageIcon::None);

  // Application window and its messages.
  ApplicationWindow& Window() { return window_; }
  bool Minimized() const { return minimized_; }
  void Minimize();
  void Restore();
  void BringToFront();
  // Hooks see every message of the application window first; a hook returning true has
  // handled it. HookMainWindow returns an id for UnhookMainWindow.
  using WindowHook = std::function<bool(Message& message)>;
  int HookMainWindow(WindowHook hook);
  void UnhookMainWindow(int id);
  // Delivers a message to the application window: OnMessage, then the hooks.
  void Perform(Message& message);
  // The application became the active program or lost that state.
  void Activate();
  void Deactivate();
  // Asks the help system (OnHelp decides); returns whether it was handled.
  bool HelpCommand(std::uint16_t command, std::intptr_t data);

  // Properties.
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title);
  const std::string& HelpFile() const { return helpFile_; }
  void SetHelpFile(std::string file) { helpFile_ = std::move(file); }
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);  // fires OnHint when it changes
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor color) { hintColor_ = color; }
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show) { showHint_ = show; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool show) { showMainForm_ = show; }
  TPicture& Icon() { return icon_; }

  // Events.
  NotifyEvent OnActivate;
  NotifyEvent OnDeactivate;
  std::function<void(const std::exception& error)> OnException;
  std::function<bool(std::uint16_t command, std::intptr_t data, bool& callHelp)> OnHelp;
  NotifyEvent OnHint;
  std::function<void(bool& done)> OnIdle;
  std::function<void(Message& message, bool& handled)> OnMessage;
  NotifyEvent OnMinimize;
  NotifyEvent OnRestore;
  std::function<void(std::string& hintText, bool& canShow)> OnShowHint;

  // Forms and timers register themselves here.
  const std::vector<TForm*>& Forms() const { return forms_; }
  void RegisterForm(TForm& form);
  void UnregisterForm(TForm& form);
  void RegisterTimer(TTimer& timer);
  void UnregisterTimer(TTimer& timer);
  // Activation order: the last shown visible form is active.
  TForm* ActiveForm() const;
  void FormShown(TForm& form);
  void FormHidden(TForm& form);
  // Fires the timers that are due; returns whether any fired.
  bool FireDueTimers();
  // Milliseconds until the next enabled timer is due (0 when one is due), nullopt without one.
  std::optional<std::uint32_t> TimeToNextTimer();
  // Something shown changed: the backend renders again.
  void Invalidate();

 private:
  void AdoptForm(std::unique_ptr<TForm> form);
  void RunIdle();

  Backend& backend_;
  TScreen screen_;
  std::vector<std::unique_ptr<TForm>> ownedForms_;
  std::vector<TForm*> forms_;
  std::vector<TForm*> activation_;  // visible forms, last = active
  std::vector<TTimer*> timers_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  int exitCode_ = 0;
  ApplicationWindow window_;
  bool minimized_ = false;
  std::vector<std::pair<int, WindowHook>> hooks_;
  int nextHookId_ = 1;

  std::string title_;
  std::string helpFile_;
  std::string hint_;
  TColor hintColor_ = clInfoBk;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  bool showHint_ = true;
  bool showMainForm_ = true;
  TPicture icon_;
};

// The current application; using it when none exists is a programming error (logic_error).
TApplication& Application();
bool HasApplication();

}  // namespace forms
