#include "framework/forms/control.hpp"

#include <algorithm>
#include <cctype>

#include "framework/forms/application.hpp"
#include "framework/forms/form.hpp"

namespace forms {

TControl::TControl(TWinControl& parent, std::string name)
    : TComponent(parent.OwningForm(), std::move(name)), parent_(&parent) {
  parent.Insert(*this);
}

TControl::TControl(TComponent* owner, std::string name)
    : TComponent(owner, std::move(name)), visible_(false) {}

TControl::~TControl() {
  if (auto* form = dynamic_cast<TForm*>(Owner()); form && form->ActiveControl() == this) {
    form->SetActiveControl(nullptr);
  }
  if (parent_) parent_->Remove(*this);
}

TForm* TControl::OwningForm() {
  TControl* control = this;
  while (control->parent_)
    control = control->parent_;
  return dynamic_cast<TForm*>(control);
}

void TControl::SetLeft(int left) {
  SetBounds(left, top_, width_, height_);
}

void TControl::SetTop(int top) {
  SetBounds(left_, top, width_, height_);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

void TControl::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

bool TControl::Showing() const {
  if (!visible_) return false;
  if (!parent_) return true;
  return parent_->ShowsChild(*this) && parent_->Showing();
}

bool TControl::EnabledInTree() const {
  for (const TControl* control = this; control; control = control->parent_) {
    if (!control->enabled_) return false;
  }
  return true;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  Changed();
}

void TControl::SetTabStop(bool tabStop) {
  tabStop_ = tabStop;
}

int TControl::TabOrder() const {
  if (!parent_) return 0;
  const auto& list = parent_->tabList_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  std::erase(list, this);
  const auto position = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + position, this);
}

bool TControl::CanFocus() const {
  return IsFocusable() && tabStop_ && Showing() && EnabledInTree();
}

void TControl::SetFocus() {
  if (!IsFocusable() || !Showing() || !EnabledInTree()) {
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  OwningForm()->SetActiveControl(this);
}

bool TControl::Focused() {
  TForm* form = OwningForm();
  return form && form->ActiveControl() == this;
}

void TControl::Changed() {
  if (HasApplication()) Application().Invalidate();
}

TWinControl::~TWinControl() {
  for (TControl* control : controls_)
    control->parent_ = nullptr;
}

std::vector<TControl*> TWinControl::FocusableControls() const {
  std::vector<TControl*> result;
  for (TControl* control : tabList_) {
    if (control->IsFocusable()) result.push_back(control);
    if (auto* container = dynamic_cast<TWinControl*>(control)) {
      auto inner = container->FocusableControls();
      result.insert(result.end(), inner.begin(), inner.end());
    }
  }
  return result;
}

void TWinControl::Insert(TControl& control) {
  controls_.push_back(&control);
  tabList_.push_back(&control);
}

void TWinControl::Remove(TControl& control) {
  std::erase(controls_, &control);
  std::erase(tabList_, &control);
}

std::string StripAccelerator(const std::string& caption) {
  std::string result;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      result += caption[i];
    } else if (i + 1 < caption.size()) {
      result += caption[++i];  // the marked letter, or the second "&" of "&&"
    }
  }
  return result;
}

char AcceleratorOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') {
      return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    ++i;
  }
  return 0;
}

}  // namespace forms
