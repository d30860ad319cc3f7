#pragma once
// ScriptQueue: ScriptAnswers from lists prepared in advance, in the order the questions come,
// and a queue of actions on the active form. It keeps every question it was asked, answered
// or not, so tests can check what the user saw.
//
//   forms::ScriptQueue script;
//   script.AnswerMessages({forms::ModalResult::Yes});
//   script.AnswerInputs({forms::InputAnswer::Text("10.0.0.1")});
//   script.WaitFor([](forms::FormActor& form) { return form.CanClick("Next"); });
//   script.Then([](forms::FormActor& form) { form.Click("Next"); });
//   backend.SetAnswers(&script);
#include <deque>
#include <functional>
#include <vector>

#include "framework/forms/script_answers.hpp"

namespace forms {

class ScriptQueue : public ScriptAnswers {
 public:
  using Action = std::function<void(FormActor& form)>;
  using Condition = std::function<bool(FormActor& form)>;

  void AnswerMessages(std::initializer_list<ModalResult> answers);
  void AnswerInputs(std::initializer_list<InputAnswer> answers);
  void Then(Action action);
  // A step that lets time pass until the condition holds on the active form.
  void WaitFor(Condition ready);

  const std::vector<MessageRequest>& Messages() const { return messages_; }
  const std::vector<InputRequest>& Inputs() const { return inputs_; }
  bool Done() const { return messageAnswers_.empty() && inputAnswers_.empty() && steps_.empty(); }

  std::optional<ModalResult> AnswerMessage(const MessageRequest& request) override;
  std::optional<InputAnswer> AnswerInput(const InputRequest& request) override;
  bool Act(FormActor& form) override;

 private:
  std::deque<ModalResult> messageAnswers_;
  std::deque<InputAnswer> inputAnswers_;
  struct Step {
    Condition ready;  // empty for a plain action
    Action action;
  };
  std::deque<Step> steps_;
  std::vector<MessageRequest> messages_;
  std::vector<InputRequest> inputs_;
};

}  // namespace forms
