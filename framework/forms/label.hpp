#pragma once
// TLabel: a text on a form. With WordWrap the caption is wrapped to the label's width.
#include "framework/forms/control.hpp"

namespace forms {

class TLabel : public TControl {
 public:
  TLabel(TWinControl& parent, std::string name);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);
  void Accept(ControlVisitor& visitor) override;

 private:
  bool wordWrap_ = false;
};

}  // namespace forms
