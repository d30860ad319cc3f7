#pragma once
// TEdit: a one-line text box. SetText changes the text from code (and fires OnChange); the
// backend calls EnterText when the user types, which also honours ReadOnly and MaxLength.
// CharCase converts every text it receives; PasswordChar hides the text when shown.
#include <string>

#include "framework/forms/control.hpp"

namespace forms {

enum class TEditCharCase { Normal, UpperCase, LowerCase };

class TEdit : public TControl {
 public:
  TEdit(TWinControl& parent, std::string name);

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  void Clear() { SetText({}); }
  // The user typed `text` as the box's new content.
  void EnterText(std::string text);

  // 0 = no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length) { maxLength_ = length; }
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char c);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase charCase);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // The text as the screen shows it (password characters instead of the text).
  std::string DisplayText() const;

  NotifyEvent OnChange;

  bool IsFocusable() const override { return true; }
  void Accept(ControlVisitor& visitor) override;

 protected:
  // The text changed (from code or from the user).
  virtual void Change();
  // Sets the text without firing Change (data-aware boxes showing their field).
  void ShowText(std::string text);

 private:
  std::string Cased(std::string text) const;
  std::string text_;
  int maxLength_ = 0;
  char passwordChar_ = 0;
  TEditCharCase charCase_ = TEditCharCase::Normal;
  bool readOnly_ = false;
};

}  // namespace forms
