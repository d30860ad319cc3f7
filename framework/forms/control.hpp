#pragma once
// TControl: a visible element of a form with a position, a caption and its enabled and visible
// states. TWinControl: a control that holds other controls (form, group box, page control,
// tab sheet). Controls are built in code by the form that owns them, with the parent they sit
// in:
//
//   forms::TGroupBox grpSetup{*this, "grpSetup"};
//   forms::TButton Next{grpSetup, "Next"};
//   ...
//   Next.SetBounds(162, 240, 73, 25);
//   Next.SetCaption("Next");
//   Next.OnClick = [this] { NextClick(); };
//
// The owner of a control is the form it sits on. Every change of what a control shows tells
// the running backend, which renders it when convenient; the form code never knows which
// backend runs it.
#include <functional>
#include <string>
#include <vector>

#include "framework/forms/colors.hpp"
#include "framework/forms/component.hpp"

namespace forms {

class ControlVisitor;
class TForm;
class TWinControl;

using NotifyEvent = std::function<void()>;

class TControl : public TComponent {
 public:
  TControl(TWinControl& parent, std::string name);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // The form the control sits on (the control itself for a form).
  TForm* OwningForm();

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int left);
  void SetTop(int top);
  void SetBounds(int left, int top, int width, int height);

  // Texts of labels, buttons, boxes and forms; "&" marks the next letter as the accelerator
  // ("&&" is a literal ampersand).
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a visible form.
  bool Showing() const;
  // Enabled with every parent.
  bool EnabledInTree() const;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint) { hint_ = std::move(hint); }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop);
  // The position in the parent's tab list; setting it moves the control there.
  int TabOrder() const;
  void SetTabOrder(int order);

  // Kinds of control the user can move the keyboard focus to (edits, boxes, buttons).
  virtual bool IsFocusable() const { return false; }
  // Focusable, tab stop, showing and enabled.
  bool CanFocus() const;
  // Makes the control its form's active control.
  void SetFocus();
  bool Focused();

  virtual void Accept(ControlVisitor& visitor) = 0;

 protected:
  // For forms, which have no parent and start hidden.
  TControl(TComponent* owner, std::string name);
  // What the control shows changed: the backend renders again.
  void Changed();

 private:
  friend class TWinControl;
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  TColor color_ = clBtnFace;
  std::string hint_;
  bool tabStop_ = false;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;

  // Child controls in creation order.
  const std::vector<TControl*>& Controls() const { return controls_; }
  // Child controls in tab order.
  const std::vector<TControl*>& TabOrdered() const { return tabList_; }
  // Every focusable control inside, depth first in tab order.
  std::vector<TControl*> FocusableControls() const;

 private:
  friend class TControl;
  void Insert(TControl& control);
  void Remove(TControl& control);
  std::vector<TControl*> controls_;
  std::vector<TControl*> tabList_;

 protected:
  // Whether a child is shown while this control is (a page control shows one sheet).
  virtual bool ShowsChild(const TControl&) const { return true; }
};

// Removes the accelerator marks of a caption ("&Next" -> "Next", "A && B" -> "A & B").
std::string StripAccelerator(const std::string& caption);
// The accelerator letter of a caption (upper case), or 0 when it has none.
char AcceleratorOf(const std::string& caption);

}  // namespace forms
