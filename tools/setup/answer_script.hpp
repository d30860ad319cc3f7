#pragma once
// Drives an unattended installation from an answer file: answers the installer's message and
// input boxes, presses the wizard's and the finish page's buttons and fills in the account
// form from the [Parent], [Guest] and [User.N] sections. Each question answered is written to a
// transcript. A question the file does not answer, and any error message the installer shows
// once the installation has begun, stop the run (forms::EScriptError); an error shown before
// (the wizard's picture could not be shown) is written to the transcript and confirmed, and the
// wizard goes on.
#include <ostream>

#include "framework/forms/script_answers.hpp"
#include "tools/setup/account_answers.hpp"
#include "tools/setup/answer_file.hpp"

namespace app {
class TUserEditForm;
}

namespace setup_tool {

class AnswerScript : public forms::ScriptAnswers {
 public:
  // Raises what ReadAccountAnswers raises for the file's accounts.
  AnswerScript(const AnswerFile& answers, std::ostream& transcript);

  std::optional<forms::ModalResult> AnswerMessage(const forms::MessageRequest& request) override;
  std::optional<forms::InputAnswer> AnswerInput(const forms::InputRequest& request) override;
  bool Act(forms::FormActor& form) override;

 private:
  // The answer, or EScriptError naming the question and the key when the file has none.
  std::string Answer(std::string_view section, std::string_view key, std::string_view question);
  bool AnswerYes(std::string_view section, std::string_view key, std::string_view question);
  forms::InputAnswer InputFrom(std::string_view key, const forms::InputRequest& request);
  bool ActOnWizard(forms::FormActor& form, int pageIndex);
  // Enters the step's answers (a key left out keeps what the box shows), then presses Save,
  // or "Cancel Entry" for an added account with Cancel=yes.
  void ActOnAccounts(forms::FormActor& form, app::TUserEditForm& accounts);

  const AnswerFile& answers_;
  std::ostream& transcript_;
  AccountAnswers accounts_;
  std::size_t accountsAdded_ = 0;  // "Add other users?" answered yes so often
};

}  // namespace setup_tool
