#pragma once
// TGroupBox: a captioned frame around other controls.
#include "framework/forms/control.hpp"

namespace forms {

class TGroupBox : public TWinControl {
 public:
  TGroupBox(TWinControl& parent, std::string name);
  void Accept(ControlVisitor& visitor) override;
};

}  // namespace forms
