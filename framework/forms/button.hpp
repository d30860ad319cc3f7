#pragma once
// TButton: a push button. Its caption may carry an accelerator ("&Next"); Default makes Enter
// press it, Cancel makes Escape press it (when it is visible and enabled). A ModalResult other
// than None closes a modal form with that result when the button is pressed.
// TBitBtn: a button with a picture (glyph); in the Windows 3.1 style it can be a plain picture
// that does nothing when pressed.
//
// Click() presses the button from code: it fires OnClick directly (exceptions reach the
// caller). Users' presses come from the backend through the application's dispatch.
#include "framework/forms/control.hpp"
#include "framework/forms/dialog_requests.hpp"
#include "framework/forms/picture.hpp"

namespace forms {

class TButton : public TControl {
 public:
  TButton(TWinControl& parent, std::string name);

  bool Default() const { return default_; }
  void SetDefault(bool isDefault) { default_ = isDefault; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool isCancel) { cancel_ = isCancel; }
  ModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(ModalResult result) { modalResult_ = result; }

  virtual void Click();
  NotifyEvent OnClick;

  bool IsFocusable() const override { return true; }
  void Accept(ControlVisitor& visitor) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  ModalResult modalResult_ = ModalResult::None;
};

enum class TButtonStyle { AutoDetect, Win31, New };

class TBitBtn : public TButton {
 public:
  TBitBtn(TWinControl& parent, std::string name);

  TPicture& Glyph() { return glyph_; }
  const TPicture& Glyph() const { return glyph_; }
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle style) { style_ = style; }

  void Accept(ControlVisitor& visitor) override;

 private:
  TPicture glyph_;
  TButtonStyle style_ = TButtonStyle::AutoDetect;
};

}  // namespace forms
