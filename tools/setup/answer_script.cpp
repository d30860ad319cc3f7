#include "tools/setup/answer_script.hpp"

#include <cctype>

#include "app/help.hpp"
#include "app/splash.hpp"
#include "app/splash_proxy_questions.hpp"
#include "app/user_edit_texts.hpp"
#include "app/user_edit_unit.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/form_actor.hpp"

namespace setup_tool {
namespace {

constexpr std::string_view kLicenceQuestion = "Software License Agreement";

bool IsAffirmative(std::string value) {
  for (char& c : value)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return value == "yes" || value == "accept";
}

// A message as one line for the transcript.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

bool InstallationStarted() {
  auto* wizard = dynamic_cast<app::TSplashform*>(forms::Application().MainForm());
  return !wizard || wizard->InstallStarted();
}

}  // namespace

AnswerScript::AnswerScript(const AnswerFile& answers, std::ostream& transcript)
    : answers_(answers), transcript_(transcript), accounts_(ReadAccountAnswers(answers)) {}

std::string AnswerScript::Answer(std::string_view section, std::string_view key,
                                 std::string_view question) {
  std::optional<std::string> answer = answers_.Find(section, key);
  if (!answer) {
    throw forms::EScriptError("The answer file " + answers_.Source() +
                              " does not answer the question \"" + OneLine(question) + "\" ([" +
                              std::string(section) + "] " + std::string(key) + ")");
  }
  transcript_ << OneLine(question) << " -> " << *answer << "\n";
  return *answer;
}

bool AnswerScript::AnswerYes(std::string_view section, std::string_view key,
                             std::string_view question) {
  return IsAffirmative(Answer(section, key, question));
}

std::optional<forms::ModalResult> AnswerScript::AnswerMessage(
    const forms::MessageRequest& request) {
  if (request.icon == forms::MessageIcon::Error) {
    // Before page 3 the wizard goes on after an error (a damaged background picture).
    if (!InstallationStarted()) {
      transcript_ << "Error: " << OneLine(request.text) << " -> OK\n";
      return forms::ModalResult::Ok;
    }
    throw forms::EScriptError("the installation stopped with the message: " + request.text);
  }
  if (request.caption == app::kProxyQuestionCaption) {
    return AnswerYes("Proxy", "UseProxy", request.caption) ? forms::ModalResult::Yes
                                                           : forms::ModalResult::No;
  }
  if (request.text == app::kImportQuestion) {
    return AnswerYes("Upgrade", "ImportSites", request.text) ? forms::ModalResult::Yes
                                                             : forms::ModalResult::No;
  }
  if (request.caption == app::kAddUsersQuestionCaption) {
    // [User.1] after the GUEST step, each further [User.N] after the one before.
    const bool another = accounts_.added.size() > accountsAdded_;
    transcript_ << request.caption << " -> " << (another ? "yes" : "no") << "\n";
    if (!another) return forms::ModalResult::No;
    ++accountsAdded_;
    return forms::ModalResult::Yes;
  }
  if (request.text == app::kStartNowQuestion) {
    return AnswerYes("Finish", "StartNow", request.text) ? forms::ModalResult::Ok
                                                         : forms::ModalResult::Cancel;
  }
  return std::nullopt;
}

forms::InputAnswer AnswerScript::InputFrom(std::string_view key,
                                           const forms::InputRequest& request) {
  std::string answer = Answer("Proxy", key, request.caption);
  if (answer == kCancelAnswer) return forms::InputAnswer::Cancel();
  return forms::InputAnswer::Text(answer);
}

std::optional<forms::InputAnswer> AnswerScript::AnswerInput(const forms::InputRequest& request) {
  if (request.caption == app::kProxyHostCaption) return InputFrom("Host", request);
  if (request.caption == app::kProxyPortCaption) return InputFrom("Port", request);
  return std::nullopt;
}

bool AnswerScript::ActOnWizard(forms::FormActor& form, int pageIndex) {
  switch (pageIndex) {
    case 1:
      form.Click("Next");
      return true;
    case 2:
      form.Click(AnswerYes("Setup", "License", kLicenceQuestion) ? "Next" : "Cancel");
      return true;
    default:
      // The splash picture: time passes until the wizard moves on.
      return false;
  }
}

void AnswerScript::ActOnAccounts(forms::FormActor& form, app::TUserEditForm& accounts) {
  const int step = accounts.UserStep();
  const AccountAnswer& answer = step == app::TUserEditForm::kParentStep ? accounts_.parent
                                : step == app::TUserEditForm::kGuestStep
                                    ? accounts_.guest
                                    : accounts_.added.at(accountsAdded_ - 1);
  if (answer.name) form.Type("UserNameEdit", *answer.name);
  if (answer.password) form.Type("UserPassEdit", *answer.password);
  if (answer.confirm) form.Type("edtConfirm", *answer.confirm);
  if (answer.age) form.Select("AgeCombo", *answer.age);
  for (const auto& [field, checked] : answer.flags)
    form.Check(accounts.FlagBox(field)->Name(), checked);
  form.Click(answer.cancel ? "BitBtn2" : "SaveButton");
}

bool AnswerScript::Act(forms::FormActor& form) {
  if (auto* wizard = dynamic_cast<app::TSplashform*>(&form.Form())) {
    return ActOnWizard(form, wizard->PageIndex());
  }
  if (auto* accounts = dynamic_cast<app::TUserEditForm*>(&form.Form())) {
    ActOnAccounts(form, *accounts);
    return true;
  }
  if (dynamic_cast<app::TfrmHelp*>(&form.Form())) {
    form.Click("bitbtnFinish");
    return true;
  }
  return false;
}

}  // namespace setup_tool
