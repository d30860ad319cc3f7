#pragma once
// What a message box or an input box asks, and the answers: shared by the dialog functions,
// the backends that show them and the scripts that answer them.
#include <string>
#include <vector>

namespace forms {

// Which button closed a message box or a modal form. The values are the Win32 IDOK ... IDNO.
enum class ModalResult : int {
  None = 0,
  Ok = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7,
};

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Error, Question, Warning, Information };

struct MessageRequest {
  std::string caption;
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  // The button that Enter presses; None means the first button.
  ModalResult defaultButton = ModalResult::None;
};

struct InputRequest {
  std::string caption;
  std::string prompt;
  std::string defaultText;
};

// The buttons of a message box, in the order they are shown.
std::vector<ModalResult> ButtonsOf(MessageButtons buttons);
// The button Enter presses in a message box.
ModalResult DefaultButtonOf(const MessageRequest& request);
// The button Escape presses (Cancel, No, or OK for a box with only OK).
ModalResult CancelButtonOf(MessageButtons buttons);
// "OK", "Cancel", "Yes", "No", ...
std::string ButtonText(ModalResult button);

}  // namespace forms
