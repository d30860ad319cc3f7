#include "framework/forms/script_backend.hpp"

#include <algorithm>

#include "platform/clock.hpp"
#include "platform/machine.hpp"

namespace forms {
namespace {

std::string Describe(const std::string& caption, const std::string& text) {
  return "\"" + caption + "\": \"" + text + "\"";
}

}  // namespace

ScriptBackend::ScriptBackend() : ScriptBackend(platform::CurrentMachine().clock()) {}

ScriptBackend::ScriptBackend(platform::Clock& clock) : clock_(clock) {}

void ScriptBackend::Advance(std::uint32_t milliseconds) {
  TApplication& app = Application();
  std::uint32_t remaining = milliseconds;
  while (true) {
    app.FireDueTimers();
    if (remaining == 0) return;
    const auto next = app.TimeToNextTimer();
    const std::uint32_t step = next ? std::min(*next, remaining) : remaining;
    clock_.Sleep(step);
    remaining -= step;
  }
}

FormActor ScriptBackend::Actor() {
  TApplication& app = Application();
  TForm* form = app.ActiveForm();
  if (!form) throw EScriptError("No form is shown to act on");
  return FormActor(app, *form);
}

void ScriptBackend::WaitForInput(TApplication& app, std::optional<std::uint32_t> timeout) {
  TForm* form = app.ActiveForm();
  if (answers_ && form) {
    FormActor actor(app, *form);
    if (answers_->Act(actor)) return;
  }
  if (timeout) {
    clock_.Sleep(*timeout);
    return;
  }
  const std::string where = form ? " on \"" + form->Caption() + "\"" : " (no form is shown)";
  throw EScriptError("The script has nothing left to do" + where + " and no timer is pending");
}

ModalResult ScriptBackend::ShowMessageBox(TApplication&, const MessageRequest& request) {
  const auto answer = answers_ ? answers_->AnswerMessage(request) : std::nullopt;
  if (!answer) {
    throw EScriptError("The script does not answer the message box " +
                       Describe(request.caption, request.text));
  }
  const auto buttons = ButtonsOf(request.buttons);
  if (std::find(buttons.begin(), buttons.end(), *answer) == buttons.end()) {
    throw EScriptError("The script answers " + ButtonText(*answer) + " to the message box " +
                       Describe(request.caption, request.text) + ", which has no such button");
  }
  return *answer;
}

std::optional<std::string> ScriptBackend::ShowInputBox(TApplication&, const InputRequest& request) {
  const auto answer = answers_ ? answers_->AnswerInput(request) : std::nullopt;
  if (!answer) {
    throw EScriptError("The script does not answer the input box " +
                       Describe(request.caption, request.prompt));
  }
  if (answer->cancelled) return std::nullopt;
  return answer->text;
}

}  // namespace forms
