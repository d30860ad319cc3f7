#pragma once
// FormActor: acts on a form as a user would: press buttons, type into edits, tick boxes,
// choose items, press Enter or Escape, use the close box. Every action checks what a user
// would face (the control exists, is showing and enabled) and fails with EScriptError naming
// the control and the form otherwise. Actions run through the application's dispatch, so an
// exception from an event handler reaches the application's handler as a real click's would.
// Controls are found by component name, else by caption (accelerator marks and letter case
// ignored), depth first in tab order.
#include <string>
#include <string_view>

#include "framework/forms/application.hpp"

namespace forms {

class TControl;
class TForm;

// A script cannot go on: an action that a user could not do, a question nobody answers, a
// loop with nothing left to do.
class EScriptError : public EBackendFailure {
 public:
  using EBackendFailure::EBackendFailure;
};

class FormActor {
 public:
  FormActor(TApplication& app, TForm& form);

  TForm& Form() const { return form_; }
  const std::string& Caption() const;

  // Presses a button (TButton or TBitBtn).
  void Click(std::string_view button);
  // Replaces the text of an edit box (or combo box) as if typed.
  void Type(std::string_view edit, const std::string& text);
  void Check(std::string_view box, bool checked);
  // Chooses an item of a combo box by its text.
  void Select(std::string_view combo, const std::string& item);
  // Enter: the default button; Escape: the cancel button.
  void PressEnter();
  void PressEscape();
  // The title bar's close box; fails when the form has none.
  void CloseForm();

  // Looking without acting: the control (nullptr when absent), whether a button could be
  // pressed now, the text a control shows (caption, edit text, rich text).
  TControl* Find(std::string_view nameOrCaption) const;
  bool CanClick(std::string_view button) const;
  std::string TextOf(std::string_view control) const;

 private:
  TControl& Usable(std::string_view nameOrCaption, std::string_view what) const;
  TApplication& app_;
  TForm& form_;
};

}  // namespace forms
