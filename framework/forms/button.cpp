#include "framework/forms/button.hpp"

#include "framework/forms/control_visitor.hpp"
#include "framework/forms/form.hpp"

namespace forms {

TButton::TButton(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
}

void TButton::Click() {
  if (modalResult_ != ModalResult::None) {
    if (TForm* form = OwningForm()) form->SetModalResult(modalResult_);
  }
  if (OnClick) OnClick();
}

void TButton::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

TBitBtn::TBitBtn(TWinControl& parent, std::string name) : TButton(parent, std::move(name)) {}

void TBitBtn::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

}  // namespace forms
