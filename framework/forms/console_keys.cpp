#include "framework/forms/console_keys.hpp"

#include <algorithm>
#include <cctype>

#include "framework/forms/button.hpp"
#include "framework/forms/check_box.hpp"
#include "framework/forms/combo_box.hpp"
#include "framework/forms/console_layout.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/rich_edit.hpp"
#include "platform/code_pages.hpp"

namespace forms {
namespace {

using Kind = Key::Kind;

constexpr int kPageLines = 10;

std::vector<TControl*> Focusable(const TForm& form) {
  auto controls = form.FocusableControls();
  std::erase_if(controls, [](TControl* c) { return !c->CanFocus(); });
  return controls;
}

void MoveFocus(TForm& form, int step) {
  const auto controls = Focusable(form);
  if (controls.empty()) return;
  const auto at = std::find(controls.begin(), controls.end(), form.ActiveControl());
  const int count = static_cast<int>(controls.size());
  const int index =
      at == controls.end()
          ? (step > 0 ? 0 : count - 1)
          : ((static_cast<int>(at - controls.begin()) + step) % count + count) % count;
  form.SetActiveControl(controls[static_cast<std::size_t>(index)]);
}

TRichEdit* ScrollTarget(TForm& form, TControl* focused) {
  if (auto* rich = dynamic_cast<TRichEdit*>(focused)) return rich;
  for (TControl* control : form.FocusableControls()) {
    if (auto* rich = dynamic_cast<TRichEdit*>(control); rich && rich->Showing()) return rich;
  }
  return nullptr;
}

void Press(TControl& control) {
  if (auto* button = dynamic_cast<TButton*>(&control)) button->Click();
  if (auto* box = dynamic_cast<TCheckBox*>(&control)) box->Toggle();
}

// A number presses that button; a letter the button or box it is the accelerator of.
void PressHotkey(TForm& form, char c) {
  if (c >= '1' && c <= '9') {
    const auto buttons = NumberedButtons(form);
    const auto index = static_cast<std::size_t>(c - '1');
    if (index < buttons.size() && buttons[index]->EnabledInTree()) buttons[index]->Click();
    return;
  }
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (TControl* control : form.FocusableControls()) {
    if (AcceleratorOf(control->Caption()) == letter && control->Showing() &&
        control->EnabledInTree()) {
      Press(*control);
      return;
    }
  }
}

void Type(TControl* focused, const std::string& ansi) {
  if (auto* edit = dynamic_cast<TEdit*>(focused)) {
    edit->EnterText(edit->Text() + ansi);
  } else if (auto* combo = dynamic_cast<TComboBox*>(focused)) {
    if (combo->Style() != TComboBoxStyle::DropDownList) {
      combo->EnterText(combo->Text() + ansi);
      return;
    }
    const auto& items = combo->Items();
    const auto match = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
      return !item.empty() && std::toupper(static_cast<unsigned char>(item[0])) ==
                                  std::toupper(static_cast<unsigned char>(ansi[0]));
    });
    if (match != items.end()) combo->EnterText(*match);
  }
}

void Erase(TControl* focused) {
  if (auto* edit = dynamic_cast<TEdit*>(focused); edit && !edit->Text().empty()) {
    edit->EnterText(edit->Text().substr(0, edit->Text().size() - 1));
  } else if (auto* combo = dynamic_cast<TComboBox*>(focused);
             combo && combo->Style() != TComboBoxStyle::DropDownList && !combo->Text().empty()) {
    combo->EnterText(combo->Text().substr(0, combo->Text().size() - 1));
  }
}

bool ChooseItem(TControl* focused, int step) {
  auto* combo = dynamic_cast<TComboBox*>(focused);
  if (!combo || combo->Items().empty()) return false;
  const int count = static_cast<int>(combo->Items().size());
  const int index = std::clamp(combo->ItemIndex() + step, 0, count - 1);
  combo->EnterText(combo->Items()[static_cast<std::size_t>(index)]);
  return true;
}

bool IsTextBox(TControl* control) {
  return dynamic_cast<TEdit*>(control) || dynamic_cast<TComboBox*>(control);
}

}  // namespace

void ApplyKey(TForm& form, const Key& key, std::uint32_t ansiCodePage) {
  TControl* focused = form.ActiveControl();
  if (focused && !focused->CanFocus()) focused = nullptr;
  TRichEdit* scroll = ScrollTarget(form, focused);
  switch (key.kind) {
    case Kind::Tab:
      MoveFocus(form, 1);
      return;
    case Kind::BackTab:
      MoveFocus(form, -1);
      return;
    case Kind::Enter:
      if (dynamic_cast<TButton*>(focused)) {
        Press(*focused);
      } else if (TButton* button = form.DefaultButton()) {
        button->Click();
      } else {
        MoveFocus(form, 1);
      }
      return;
    case Kind::Escape:
      if (TButton* button = form.CancelButton()) button->Click();
      return;
    case Kind::Backspace:
      Erase(focused);
      return;
    case Kind::Up:
    case Kind::Down: {
      const int step = key.kind == Kind::Up ? -1 : 1;
      if (ChooseItem(focused, step)) return;
      if (auto* rich = dynamic_cast<TRichEdit*>(focused)) {
        rich->SetTopLine(rich->TopLine() + step);
        return;
      }
      MoveFocus(form, step);
      return;
    }
    case Kind::PageUp:
    case Kind::PageDown:
      if (scroll) {
        scroll->SetTopLine(scroll->TopLine() +
                           (key.kind == Kind::PageUp ? -kPageLines : kPageLines));
      }
      return;
    case Kind::Home:
      if (scroll) scroll->SetTopLine(0);
      return;
    case Kind::End:
      if (scroll)
        scroll->SetTopLine(static_cast<int>(scroll->Text().size()));  // the layout limits it
      return;
    case Kind::Text: {
      const std::string ansi = platform::Utf8ToCodePage(ansiCodePage, key.text);
      if (ansi.empty()) return;
      if (key.alt || !IsTextBox(focused)) {
        if (ansi == " " && focused) {
          Press(*focused);
        } else {
          PressHotkey(form, ansi[0]);
        }
        return;
      }
      Type(focused, ansi);
      return;
    }
    case Kind::Delete:
    case Kind::Left:
    case Kind::Right:
      return;
  }
}

}  // namespace forms
