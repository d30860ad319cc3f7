#include "framework/forms/dialogs.hpp"

#include "framework/forms/application.hpp"
#include "framework/forms/backend.hpp"

namespace forms {

ModalResult MessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                       ModalResult defaultButton, MessageIcon icon) {
  return Application().MessageBox(text, caption, buttons, defaultButton, icon);
}

void ShowMessage(const std::string& text) {
  TApplication& app = Application();
  app.MessageBox(text, app.Title(), MessageButtons::Ok);
}

std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultText) {
  std::string value = defaultText;
  InputQuery(caption, prompt, value);
  return value;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TApplication& app = Application();
  auto answer = app.GetBackend().ShowInputBox(app, InputRequest{caption, prompt, value});
  app.Invalidate();
  if (!answer) return false;
  value = std::move(*answer);
  return true;
}

}  // namespace forms
