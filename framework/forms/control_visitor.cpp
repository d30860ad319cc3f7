#include "framework/forms/control_visitor.hpp"

#include "framework/forms/button.hpp"
#include "framework/forms/db_check_box.hpp"
#include "framework/forms/db_combo_box.hpp"
#include "framework/forms/db_edit.hpp"

namespace forms {

void ControlVisitor::Visit(TBitBtn& button) {
  Visit(static_cast<TButton&>(button));
}

void ControlVisitor::Visit(TDBEdit& edit) {
  Visit(static_cast<TEdit&>(edit));
}

void ControlVisitor::Visit(TDBCheckBox& box) {
  Visit(static_cast<TCheckBox&>(box));
}

void ControlVisitor::Visit(TDBComboBox& box) {
  Visit(static_cast<TComboBox&>(box));
}

}  // namespace forms
