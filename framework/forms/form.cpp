#include "framework/forms/form.hpp"

#include "framework/forms/application.hpp"
#include "framework/forms/button.hpp"
#include "framework/forms/control_visitor.hpp"

namespace forms {
namespace {

// The first showing, enabled button inside `container` for which `wanted` holds.
TButton* FindButton(const TWinControl& container, bool (TButton::*wanted)() const) {
  for (TControl* control : container.TabOrdered()) {
    if (auto* button = dynamic_cast<TButton*>(control);
        button && (button->*wanted)() && button->Showing() && button->EnabledInTree()) {
      return button;
    }
    if (auto* inner = dynamic_cast<TWinControl*>(control)) {
      if (TButton* found = FindButton(*inner, wanted)) return found;
    }
  }
  return nullptr;
}

// Ends the modal state however the nested loop is left.
class ModalScope {
 public:
  explicit ModalScope(bool& modal) : modal_(modal) { modal_ = true; }
  ~ModalScope() { modal_ = false; }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  bool& modal_;
};

}  // namespace

TForm::TForm(std::string name) : TWinControl(nullptr, std::move(name)) {
  Application().RegisterForm(*this);
}

TForm::~TForm() {
  if (HasApplication()) Application().UnregisterForm(*this);
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  Changed();
}

void TForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  Changed();
}

void TForm::SetClientSize(int width, int height) {
  SetBounds(Left(), Top(), width, height);
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible()) return;
  TApplication& app = Application();
  if (visible) {
    PlaceOnScreen();
    TWinControl::SetVisible(true);
    app.Dispatch([this] {
      if (OnShow) OnShow();
    });
    app.FormShown(*this);
  } else {
    app.Dispatch([this] {
      if (OnHide) OnHide();
    });
    TWinControl::SetVisible(false);
    app.FormHidden(*this);
  }
}

ModalResult TForm::ShowModal() {
  if (Visible()) throw EInvalidOperation("Cannot make a visible window modal");
  TApplication& app = Application();
  ModalResult result;
  {
    ModalScope scope(modal_);
    modalResult_ = ModalResult::None;
    Show();
    app.LoopUntil(
        [&] { return modalResult_ != ModalResult::None || !Visible() || app.Terminated(); });
    result = modalResult_ == ModalResult::None ? ModalResult::Cancel : modalResult_;
  }
  Hide();
  return result;
}

void TForm::SetModalResult(ModalResult result) {
  modalResult_ = result;
}

void TForm::Close() {
  TCloseAction action = TCloseAction::Hide;
  if (OnClose) OnClose(action);
  if (action == TCloseAction::None) return;
  TApplication& app = Application();
  if (modal_) {
    if (modalResult_ == ModalResult::None) modalResult_ = ModalResult::Cancel;
  } else if (app.MainForm() == this) {
    app.Terminate();
  } else if (action == TCloseAction::Minimize) {
    SetWindowState(TWindowState::Minimized);
  } else {
    Hide();
  }
}

bool TForm::CloseFromTitleBar() {
  if (!borderIcons_.systemMenu) return false;
  Close();
  return true;
}

bool TForm::Active() const {
  return Application().ActiveForm() == this;
}

void TForm::BringToFront() {
  if (Visible() && !Active()) Application().FormShown(*this);
}

void TForm::SetActiveControl(TControl* control) {
  if (control == activeControl_) return;
  activeControl_ = control;
  if (HasApplication() && Active()) Application().Screen().SetActiveControl(control);
  Changed();
}

TButton* TForm::DefaultButton() const {
  return FindButton(*this, &TButton::Default);
}

TButton* TForm::CancelButton() const {
  return FindButton(*this, &TButton::Cancel);
}

void TForm::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TForm::NotifyActivated() {
  TApplication& app = Application();
  if (!activeControl_ || !activeControl_->CanFocus()) {
    const auto focusable = FocusableControls();
    const auto first =
        std::find_if(focusable.begin(), focusable.end(), [](TControl* c) { return c->CanFocus(); });
    activeControl_ = first == focusable.end() ? nullptr : *first;
  }
  app.Screen().SetActiveControl(activeControl_);
  app.Dispatch([this] {
    if (OnActivate) OnActivate();
  });
}

void TForm::NotifyDeactivated() {
  Application().Dispatch([this] {
    if (OnDeactivate) OnDeactivate();
  });
}

void TForm::PlaceOnScreen() {
  const TScreen& screen = Application().Screen();
  switch (position_) {
    case TPosition::ScreenCenter:
    case TPosition::DesktopCenter:
      SetBounds((screen.Width() - Width()) / 2, (screen.Height() - Height()) / 2, Width(),
                Height());
      break;
    case TPosition::MainFormCenter:
      if (const TForm* main = Application().MainForm(); main && main != this) {
        SetBounds(main->Left() + (main->Width() - Width()) / 2,
                  main->Top() + (main->Height() - Height()) / 2, Width(), Height());
      }
      break;
    case TPosition::Designed:
      break;
  }
}

}  // namespace forms
