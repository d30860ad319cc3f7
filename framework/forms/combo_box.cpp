#include "framework/forms/combo_box.hpp"

#include <algorithm>

#include "framework/forms/control_visitor.hpp"
#include "platform/exception.hpp"

namespace forms {

TComboBox::TComboBox(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
  SetColor(clWindow);
}

void TComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = IndexOf(text_);
  if (itemIndex_ < 0 && style_ == TComboBoxStyle::DropDownList) text_.clear();
  Changed();
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) {
    throw platform::ERangeError("List index out of bounds (" + std::to_string(index) + ")");
  }
  itemIndex_ = index;
  text_ = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
  Changed();
}

void TComboBox::SetText(std::string text) {
  ShowText(std::move(text));
}

void TComboBox::EnterText(const std::string& text) {
  const int index = IndexOf(text);
  if (index < 0 && style_ == TComboBoxStyle::DropDownList) {
    throw platform::ERangeError("\"" + text + "\" is not an item of " + Name());
  }
  const std::string chosen = index < 0 ? text : items_[static_cast<std::size_t>(index)];
  if (chosen == text_ && index == itemIndex_) return;
  ShowText(chosen);
  Change();
}

void TComboBox::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TComboBox::Change() {
  if (OnChange) OnChange();
}

void TComboBox::ShowText(std::string text) {
  text_ = std::move(text);
  itemIndex_ = IndexOf(text_);
  Changed();
}

int TComboBox::IndexOf(const std::string& text) const {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const std::string& item) { return SameName(item, text); });
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

}  // namespace forms
