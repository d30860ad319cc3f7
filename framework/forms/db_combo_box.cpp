#include "framework/forms/db_combo_box.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TDBComboBox::TDBComboBox(TWinControl& parent, std::string name)
    : TComboBox(parent, std::move(name)), link_([this] { Refresh(); }) {}

void TDBComboBox::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TDBComboBox::Change() {
  if (link_.Active()) link_.WriteText(Text());
  TComboBox::Change();
}

void TDBComboBox::Refresh() {
  ShowText(link_.Active() ? link_.Field().AsString() : std::string());
}

}  // namespace forms
