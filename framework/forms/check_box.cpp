#include "framework/forms/check_box.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TCheckBox::TCheckBox(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed();
  Click();
}

void TCheckBox::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TCheckBox::Click() {
  if (OnClick) OnClick();
}

void TCheckBox::ShowChecked(bool checked) {
  checked_ = checked;
  Changed();
}

}  // namespace forms
