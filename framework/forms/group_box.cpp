#include "framework/forms/group_box.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TGroupBox::TGroupBox(TWinControl& parent, std::string name)
    : TWinControl(parent, std::move(name)) {}

void TGroupBox::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

}  // namespace forms
