#pragma once
// TCheckBox: a captioned box that is checked or not. SetChecked from code and Toggle from the
// user both fire OnClick when the state changes.
#include "framework/forms/control.hpp"

namespace forms {

class TCheckBox : public TControl {
 public:
  TCheckBox(TWinControl& parent, std::string name);

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // The user pressed the box.
  void Toggle() { SetChecked(!checked_); }

  NotifyEvent OnClick;

  bool IsFocusable() const override { return true; }
  void Accept(ControlVisitor& visitor) override;

 protected:
  // The state changed (from code or from the user).
  virtual void Click();
  // Sets the state without firing Click (data-aware boxes showing their field).
  void ShowChecked(bool checked);

 private:
  bool checked_ = false;
};

}  // namespace forms
