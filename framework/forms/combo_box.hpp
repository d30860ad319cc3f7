#pragma once
// TComboBox: a text box with a list of items. With the style DropDownList the text is always
// one of the items; with DropDown the user may also type any text. As in Windows, choosing
// from code (SetItemIndex, SetText) fires no OnChange; the user's choice (EnterText) does.
#include <string>
#include <vector>

#include "framework/forms/control.hpp"

namespace forms {

enum class TComboBoxStyle { DropDown, Simple, DropDownList };

class TComboBox : public TControl {
 public:
  TComboBox(TWinControl& parent, std::string name);

  const std::vector<std::string>& Items() const { return items_; }
  // Replaces the list; the text stays when the style lets it, else the selection is cleared.
  void SetItems(std::vector<std::string> items);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style) { style_ = style; }
  // -1 = no item selected.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);  // ERangeError outside -1 .. count-1
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  // The user chose an item (by its text, letter case ignored) or typed a text. Raises
  // ERangeError when a DropDownList has no such item.
  void EnterText(const std::string& text);

  NotifyEvent OnChange;

  bool IsFocusable() const override { return true; }
  void Accept(ControlVisitor& visitor) override;

 protected:
  virtual void Change();
  // Shows a text without firing Change (data-aware boxes showing their field).
  void ShowText(std::string text);

 private:
  int IndexOf(const std::string& text) const;
  std::vector<std::string> items_;
  TComboBoxStyle style_ = TComboBoxStyle::DropDown;
  int itemIndex_ = -1;
  std::string text_;
};

}  // namespace forms
