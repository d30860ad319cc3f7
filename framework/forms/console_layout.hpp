#pragma once
// How the console backend lays out a form as a text page: the form's frame with its caption,
// its controls row by row in the order of their positions (controls side by side stay side by
// side when they fit), boxes as framed sections, long texts wrapped and scrollable, buttons
// numbered "[1]", "[2]", ... in tab order with their accelerator letter underlined, the focused
// control highlighted, a line of key help at the bottom. A picture is drawn (in colour, two
// pixels a character) only while no other control covers it. Message and input boxes are
// framed boxes laid over the page.
#include <string>
#include <vector>

#include "framework/forms/dialog_requests.hpp"
#include "framework/forms/styled_text.hpp"
#include "framework/forms/terminal.hpp"

namespace forms {

class TButton;
class TForm;

struct ConsolePage {
  std::vector<StyledLine> lines;  // the whole screen, one entry per row
};

// The buttons that carry numbers on the page: showing, captioned, in tab order (at most 9);
// button n is element n - 1.
std::vector<TButton*> NumberedButtons(const TForm& form);

ConsolePage LayoutForm(TForm& form, TerminalSize size, bool busy);
// A screen with only a status line (no form is shown).
ConsolePage LayoutEmpty(const std::string& title, TerminalSize size, bool busy);

// Lays a message box over the page: `highlighted` is the button Enter presses.
void OverlayMessageBox(ConsolePage& page, const MessageRequest& request, ModalResult highlighted,
                       TerminalSize size);
// Lays an input box over the page; `selected` shows the text as selected (typing replaces it).
void OverlayInputBox(ConsolePage& page, const InputRequest& request, const std::string& text,
                     bool selected, TerminalSize size);

}  // namespace forms
