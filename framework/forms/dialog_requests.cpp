#include "framework/forms/dialog_requests.hpp"

#include <algorithm>

namespace forms {

std::vector<ModalResult> ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return {ModalResult::Ok, ModalResult::Cancel};
    case MessageButtons::YesNo:
      return {ModalResult::Yes, ModalResult::No};
    case MessageButtons::Ok:
      break;
  }
  return {ModalResult::Ok};
}

ModalResult DefaultButtonOf(const MessageRequest& request) {
  const auto buttons = ButtonsOf(request.buttons);
  const bool offered =
      std::find(buttons.begin(), buttons.end(), request.defaultButton) != buttons.end();
  return offered ? request.defaultButton : buttons.front();
}

ModalResult CancelButtonOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return ModalResult::Cancel;
    case MessageButtons::YesNo:
      return ModalResult::No;
    case MessageButtons::Ok:
      break;
  }
  return ModalResult::Ok;
}

std::string ButtonText(ModalResult button) {
  switch (button) {
    case ModalResult::Ok:
      return "OK";
    case ModalResult::Cancel:
      return "Cancel";
    case ModalResult::Abort:
      return "Abort";
    case ModalResult::Retry:
      return "Retry";
    case ModalResult::Ignore:
      return "Ignore";
    case ModalResult::Yes:
      return "Yes";
    case ModalResult::No:
      return "No";
    case ModalResult::None:
      break;
  }
  return {};
}

}  // namespace forms
