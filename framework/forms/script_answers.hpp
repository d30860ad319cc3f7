#pragma once
// ScriptAnswers: what drives the script backend in an unattended run. The program supplies an
// implementation (for example over an answer file); the backend asks it
//  - to answer each message box and input box, and
//  - to act on the active form whenever the message loop waits for the user.
// A question it leaves unanswered (an empty optional) stops the run with an EScriptError
// naming the box's caption and text; when it has nothing to do and no timer is pending the
// run stops with an EScriptError too, so a script never hangs.
#include <optional>
#include <string>

#include "framework/forms/dialog_requests.hpp"

namespace forms {

class FormActor;

struct InputAnswer {
  bool cancelled = false;
  std::string text;

  static InputAnswer Text(std::string text) { return {false, std::move(text)}; }
  static InputAnswer Cancel() { return {true, {}}; }
};

class ScriptAnswers {
 public:
  virtual ~ScriptAnswers() = default;
  virtual std::optional<ModalResult> AnswerMessage(const MessageRequest& request) = 0;
  virtual std::optional<InputAnswer> AnswerInput(const InputRequest& request) = 0;
  // Called while the loop waits for the user, with the active form. Returns false when there
  // is nothing to do now (time then passes until the next timer).
  virtual bool Act(FormActor& form) = 0;
};

}  // namespace forms
