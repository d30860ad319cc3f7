#include "app/splash_proxy_questions.hpp"

#include "app/registry_paths.hpp"
#include "app/whole_number.hpp"
#include "framework/forms/dialogs.hpp"
#include "framework/registry/registry.hpp"

namespace app {

ProxyAnswers AskProxyQuestions() {
  ProxyAnswers answers;
  if (forms::MessageBox(std::string(kProxyQuestion), std::string(kProxyQuestionCaption),
                        forms::MessageButtons::YesNo,
                        forms::ModalResult::No) != forms::ModalResult::Yes) {
    return answers;
  }
  answers.host =
      forms::InputBox(std::string(kProxyHostCaption), std::string(kProxyHostPrompt), answers.host);
  std::optional<std::int32_t> port;
  while (!port) {
    port = ParseWholeNumber(
        forms::InputBox(std::string(kProxyPortCaption), std::string(kProxyPortPrompt), "80"));
  }
  answers.port = *port;
  answers.sendToProxy = true;
  return answers;
}

void WriteProxyAnswers(const ProxyAnswers& answers) {
  framework::TRegistry machineKey;
  machineKey.SetRootKey(platform::hkey::LocalMachine);
  machineKey.OpenKey(registry_paths::kProductKey, true);
  machineKey.WriteBool("SendToProxy", answers.sendToProxy);
  machineKey.WriteString("ProxyHost", answers.host);
  machineKey.WriteInteger("ProxyPort", answers.port);
  machineKey.CloseKey();
}

}  // namespace app
