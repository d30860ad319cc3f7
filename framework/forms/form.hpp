#pragma once
// TForm: a window of the program. A form class builds its controls in its constructor
// (members declared as controls with the form or a box as parent) and sets its events:
//
//   class TfrmHelp : public forms::TForm {
//    public:
//     TfrmHelp() : TForm("frmHelp") {
//       SetCaption("Installation Complete");
//       SetBorderIcons({});
//       SetBounds(0, 0, 544, 320);
//       SetPosition(forms::TPosition::ScreenCenter);
//       OnCreate = [this] { FormCreate(); };
//     }
//     ...
//   };
//
// Forms are made by the application (TApplication::CreateForm), which fires OnCreate once the
// constructor is done. Events of a form (OnCreate, OnShow, OnHide, OnActivate, OnClose) that
// raise an exception have it handled by the application's top-level handler, as a user's
// click would.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/forms/control.hpp"
#include "framework/forms/dialog_requests.hpp"

namespace forms {

class TButton;

enum class TPosition { Designed, ScreenCenter, DesktopCenter, MainFormCenter };
enum class TWindowState { Normal, Minimized, Maximized };
enum class TCloseAction { None, Hide, Free, Minimize };

// The title bar's buttons; an empty set means no close box.
struct TBorderIcons {
  bool systemMenu = false;
  bool minimize = false;
  bool maximize = false;
  bool help = false;
};
inline constexpr TBorderIcons kDefaultBorderIcons{true, true, true, false};

class TForm : public TWinControl {
 public:
  explicit TForm(std::string name = {});
  ~TForm() override;

  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  const std::string& FontName() const { return fontName_; }
  void SetFontName(std::string name) { fontName_ = std::move(name); }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  // The client area; SetBounds sets the outer size.
  void SetClientSize(int width, int height);

  // Show places a centred form, makes it visible and active and fires OnShow; Hide fires
  // OnHide and hands activation to the form shown before it.
  void SetVisible(bool visible) override;
  // Runs a nested message loop until ModalResult is set, the form closes or the application
  // terminates; returns the result (Cancel when the form was closed). Showing a form modally
  // that is already visible raises EInvalidOperation.
  ModalResult ShowModal();
  bool Modal() const { return modal_; }
  ModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(ModalResult result);
  // Asks the form to close: OnClose may change the action (default Hide). Closing the main
  // form terminates the application; closing a modal form ends ShowModal with Cancel.
  void Close();
  // The title bar's close box: does nothing when the form has none.
  bool CloseFromTitleBar();
  bool Active() const;
  void BringToFront();

  // The control with the keyboard focus; Enter and Escape press the default and cancel
  // buttons (visible and enabled ones).
  TControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TControl* control);
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  NotifyEvent OnCreate;
  NotifyEvent OnShow;
  NotifyEvent OnHide;
  NotifyEvent OnActivate;
  NotifyEvent OnDeactivate;
  std::function<void(TCloseAction& action)> OnClose;

  void Accept(ControlVisitor& visitor) override;

  // Called by the application when activation changes.
  void NotifyActivated();
  void NotifyDeactivated();

 private:
  void PlaceOnScreen();
  TBorderIcons borderIcons_ = kDefaultBorderIcons;
  TPosition position_ = TPosition::Designed;
  std::string fontName_ = "MS Sans Serif";
  TWindowState windowState_ = TWindowState::Normal;
  bool modal_ = false;
  ModalResult modalResult_ = ModalResult::None;
  TControl* activeControl_ = nullptr;
};

}  // namespace forms
