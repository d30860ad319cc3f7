#pragma once
// Message and input boxes of the current application, shown by its backend:
//
//   if (forms::MessageBox("Are you using a proxy server?...", "Proxy Server in use?",
//                         forms::MessageButtons::YesNo, forms::ModalResult::No) ==
//       forms::ModalResult::Yes) { ... }
//   std::string host = forms::InputBox("Proxy Server IP Address",
//                                      "What is the proxy server IP address?", "0.0.0.0");
//   forms::ShowMessage("You must enter a user name");   // OK box titled with the app title
#include <string>

#include "framework/forms/dialog_requests.hpp"

namespace forms {

ModalResult MessageBox(const std::string& text, const std::string& caption,
                       MessageButtons buttons = MessageButtons::Ok,
                       ModalResult defaultButton = ModalResult::None,
                       MessageIcon icon = MessageIcon::None);
// A message with an OK button, titled with the application title.
void ShowMessage(const std::string& text);
// Returns the text entered, or `defaultText` when the user cancels.
std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultText);
// Returns false when the user cancels (value unchanged); true with the entered text.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

}  // namespace forms
