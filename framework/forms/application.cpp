#include "framework/forms/application.hpp"

#include <algorithm>
#include <stdexcept>

#include "framework/forms/backend.hpp"
#include "framework/forms/timer.hpp"
#include "platform/clock.hpp"

namespace forms {
namespace {

TApplication* current = nullptr;

// Gives the backend back its terminal (or whatever it took) however Run is left.
class RunScope {
 public:
  RunScope(Backend& backend, TApplication& app) : backend_(backend), app_(app) {
    backend_.BeginRun(app_);
  }
  ~RunScope() { backend_.EndRun(app_); }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  Backend& backend_;
  TApplication& app_;
};

// Signed distance between two tick counts, so that the 49.7-day wrap does not matter.
std::int64_t TicksUntil(std::uint32_t due, std::uint32_t now) {
  return static_cast<std::int32_t>(due - now);
}

}  // namespace

TApplication::TApplication(Backend& backend) : backend_(backend) {
  if (current) throw std::logic_error("an application object exists already");
  current = this;
}

TApplication::~TApplication() {
  // Forms go first, newest first, while the application they unregister from still exists;
  // nobody is told about activation changes while the program winds down.
  screen_.OnActiveFormChange = nullptr;
  screen_.OnActiveControlChange = nullptr;
  while (!ownedForms_.empty())
    ownedForms_.pop_back();
  current = nullptr;
}

platform::Clock& TApplication::Clock() {
  return backend_.Clock();
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
  TForm& adopted = *form;
  ownedForms_.push_back(std::move(form));
  if (!mainForm_) mainForm_ = &adopted;
  adopted.NotifyLoaded();
  Dispatch([&adopted] {
    if (adopted.OnCreate) adopted.OnCreate();
  });
}

void TApplication::Run() {
  RunScope scope(backend_, *this);
  if (mainForm_ && showMainForm_ && !terminated_ && !minimized_) mainForm_->Show();
  LoopUntil([this] { return terminated_; });
}

void TApplication::Terminate() {
  terminated_ = true;
  Invalidate();
}

void TApplication::ProcessMessages() {
  backend_.HandlePendingInput(*this);
  FireDueTimers();
}

void TApplication::LoopUntil(const std::function<bool()>& done) {
  while (!done()) {
    FireDueTimers();
    if (done()) break;
    RunIdle();
    if (done()) break;
    backend_.WaitForInput(*this, TimeToNextTimer());
  }
}

void TApplication::RunIdle() {
  if (!OnIdle) return;
  Dispatch([this] {
    bool done = true;
    OnIdle(done);
  });
}

void TApplication::Dispatch(const std::function<void()>& action) {
  try {
    action();
  } catch (const EBackendFailure&) {
    throw;
  } catch (const std::exception& error) {
    HandleException(error);
  }
}

void TApplication::HandleException(const std::exception& error) {
  if (OnException) {
    OnException(error);
  } else {
    ShowException(error);
  }
}

void TApplication::ShowException(const std::exception& error) {
  MessageBox(error.what(), title_, MessageButtons::Ok, ModalResult::None, MessageIcon::Error);
}

ModalResult TApplication::MessageBox(const std::string& text, const std::string& caption,
                                     MessageButtons buttons, ModalResult defaultButton,
                                     MessageIcon icon) {
  const MessageRequest request{caption, text, buttons, icon, defaultButton};
  const ModalResult answer = backend_.ShowMessageBox(*this, request);
  Invalidate();
  return answer;
}

void TApplication::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  if (const NotifyEvent handler = OnMinimize) handler();  // a copy: it may replace itself
  Invalidate();
}

void TApplication::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  if (const NotifyEvent handler = OnRestore) handler();  // a copy: it may replace itself
  Invalidate();
}

void TApplication::BringToFront() {
  if (TForm* form = ActiveForm()) form->BringToFront();
  Invalidate();
}

int TApplication::HookMainWindow(WindowHook hook) {
  hooks_.emplace_back(nextHookId_, std::move(hook));
  return nextHookId_++;
}

void TApplication::UnhookMainWindow(int id) {
  std::erase_if(hooks_, [id](const auto& entry) { return entry.first == id; });
}

void TApplication::Perform(Message& message) {
  bool handled = false;
  if (OnMessage) OnMessage(message, handled);
  if (handled) return;
  const auto hooks = hooks_;  // a hook may unhook itself
  for (const auto& [id, hook] : hooks) {
    if (hook(message)) return;
  }
}

void TApplication::Activate() {
  if (OnActivate) OnActivate();
}

void TApplication::Deactivate() {
  if (OnDeactivate) OnDeactivate();
}

bool TApplication::HelpCommand(std::uint16_t command, std::intptr_t data) {
  bool callHelp = true;
  return OnHelp && OnHelp(command, data, callHelp);
}

void TApplication::SetTitle(std::string title) {
  title_ = std::move(title);
  Invalidate();
}

void TApplication::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  if (OnHint) OnHint();
}

void TApplication::RegisterForm(TForm& form) {
  forms_.push_back(&form);
}

void TApplication::UnregisterForm(TForm& form) {
  std::erase(forms_, &form);
  const bool wasActive = ActiveForm() == &form;
  std::erase(activation_, &form);
  if (mainForm_ == &form) mainForm_ = nullptr;
  if (wasActive) screen_.SetActiveForm(ActiveForm());
}

void TApplication::RegisterTimer(TTimer& timer) {
  timers_.push_back(&timer);
}

void TApplication::UnregisterTimer(TTimer& timer) {
  std::erase(timers_, &timer);
}

TForm* TApplication::ActiveForm() const {
  return activation_.empty() ? nullptr : activation_.back();
}

void TApplication::FormShown(TForm& form) {
  TForm* previous = ActiveForm();
  std::erase(activation_, &form);
  activation_.push_back(&form);
  if (previous == &form) return;
  if (previous) previous->NotifyDeactivated();
  screen_.SetActiveForm(&form);
  form.NotifyActivated();
  Invalidate();
}

void TApplication::FormHidden(TForm& form) {
  const bool wasActive = ActiveForm() == &form;
  std::erase(activation_, &form);
  if (!wasActive) return;
  form.NotifyDeactivated();
  TForm* next = ActiveForm();
  screen_.SetActiveForm(next);
  if (next) next->NotifyActivated();
  Invalidate();
}

bool TApplication::FireDueTimers() {
  bool fired = false;
  const auto timers = timers_;  // handlers may make or destroy timers
  for (TTimer* timer : timers) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) continue;
    if (!timer->Running() || TicksUntil(timer->DueAt(), Clock().TickCount()) > 0) continue;
    fired = true;
    Dispatch([timer] { timer->Fire(); });
  }
  return fired;
}

std::optional<std::uint32_t> TApplication::TimeToNextTimer() {
  std::optional<std::uint32_t> next;
  const std::uint32_t now = Clock().TickCount();
  for (const TTimer* timer : timers_) {
    if (!timer->Running()) continue;
    const auto wait =
        static_cast<std::uint32_t>(std::max<std::int64_t>(0, TicksUntil(timer->DueAt(), now)));
    if (!next || wait < *next) next = wait;
  }
  return next;
}

void TApplication::Invalidate() {
  backend_.Invalidate();
}

TApplication& Application() {
  if (!current) throw std::logic_error("no application object exists");
  return *current;
}

bool HasApplication() {
  return current != nullptr;
}

}  // namespace forms
