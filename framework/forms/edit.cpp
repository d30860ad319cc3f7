#include "framework/forms/edit.hpp"

#include "framework/forms/control_visitor.hpp"
#include "platform/machine.hpp"

namespace forms {

TEdit::TEdit(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
  SetColor(clWindow);
}

void TEdit::SetText(std::string text) {
  text = Cased(std::move(text));
  if (text == text_) return;
  text_ = std::move(text);
  Changed();
  Change();
}

void TEdit::EnterText(std::string text) {
  if (readOnly_) return;
  if (maxLength_ > 0 && text.size() > static_cast<std::size_t>(maxLength_)) {
    text.resize(static_cast<std::size_t>(maxLength_));
  }
  SetText(std::move(text));
}

void TEdit::SetPasswordChar(char c) {
  passwordChar_ = c;
  Changed();
}

void TEdit::SetCharCase(TEditCharCase charCase) {
  charCase_ = charCase;
  ShowText(text_);
}

std::string TEdit::DisplayText() const {
  return passwordChar_ ? std::string(text_.size(), passwordChar_) : text_;
}

void TEdit::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TEdit::Change() {
  if (OnChange) OnChange();
}

void TEdit::ShowText(std::string text) {
  text_ = Cased(std::move(text));
  Changed();
}

std::string TEdit::Cased(std::string text) const {
  switch (charCase_) {
    case TEditCharCase::UpperCase:
      return platform::CurrentMachine().codePages().Upper(text);
    case TEditCharCase::LowerCase:
      return platform::CurrentMachine().codePages().Lower(text);
    case TEditCharCase::Normal:
      break;
  }
  return text;
}

}  // namespace forms
