#pragma once
// ScriptQueue: ScriptAnswers from lists prepared in advance, in the order the questions come,
// and a queue of actions on the active form. It keeps every question it was asked, answered
// or not, so tests can check what the user saw.
//
//   forms::ScriptQueue script;
//   script.AnswerMessages({forms::ModalResult::Yes});
//   script.AnswerInputs({forms::InputAnswer::Text("10.0.0.1")});
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

  void AnswerMessages(std::initializer_list<ModalResult> answers);
  void AnswerInputs(std::initializer_list<InputAnswer> answers);
  void Then(Action action);

  const std::vector<MessageRequest>& Messages() const { return messages_; }
  const std::vector<InputRequest>& Inputs() const { return inputs_; }
  bool Done() const { return messageAnswers_.empty() && inputAnswers_.empty() && actions_.empty(); }

  std::optional<ModalResult> AnswerMessage(const MessageRequest& request) override;
  std::optional<InputAnswer> AnswerInput(const InputRequest& request) override;
  bool Act(FormActor& form) override;

 private:
  std::deque<ModalResult> messageAnswers_;
  std::deque<InputAnswer> inputAnswers_;
  std::deque<Action> actions_;
  std::vector<MessageRequest> messages_;
  std::vector<InputRequest> inputs_;
};

}  // namespace forms
