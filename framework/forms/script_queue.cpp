#include "framework/forms/script_queue.hpp"

namespace forms {

void ScriptQueue::AnswerMessages(std::initializer_list<ModalResult> answers) {
  messageAnswers_.insert(messageAnswers_.end(), answers);
}

void ScriptQueue::AnswerInputs(std::initializer_list<InputAnswer> answers) {
  inputAnswers_.insert(inputAnswers_.end(), answers);
}

void ScriptQueue::Then(Action action) {
  steps_.push_back({nullptr, std::move(action)});
}

void ScriptQueue::WaitFor(Condition ready) {
  steps_.push_back({std::move(ready), nullptr});
}

std::optional<ModalResult> ScriptQueue::AnswerMessage(const MessageRequest& request) {
  messages_.push_back(request);
  if (messageAnswers_.empty()) return std::nullopt;
  const ModalResult answer = messageAnswers_.front();
  messageAnswers_.pop_front();
  return answer;
}

std::optional<InputAnswer> ScriptQueue::AnswerInput(const InputRequest& request) {
  inputs_.push_back(request);
  if (inputAnswers_.empty()) return std::nullopt;
  InputAnswer answer = inputAnswers_.front();
  inputAnswers_.pop_front();
  return answer;
}

bool ScriptQueue::Act(FormActor& form) {
  if (steps_.empty()) return false;
  if (steps_.front().ready) {
    if (!steps_.front().ready(form)) return false;
    steps_.pop_front();
    return true;
  }
  const Action action = std::move(steps_.front().action);
  steps_.pop_front();
  action(form);
  return true;
}

}  // namespace forms
