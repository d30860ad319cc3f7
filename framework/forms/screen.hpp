#pragma once
// TScreen: the screen as the program sees it: its size, the active form and control, the
// mouse cursor shape. TWaitCursor shows the hourglass for the lifetime of a scope and puts the
// previous cursor back on every exit path:
//
//   {
//     forms::TWaitCursor wait;
//     forms::Application().ProcessMessages();
//     ... long work ...
//   }
#include <functional>

namespace forms {

class TControl;
class TForm;

enum class TCursor { Default, HourGlass, Arrow };

class TScreen {
 public:
  // The screen's resolution in pixels (from the machine's screen facts).
  int Width() const;
  int Height() const;

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TForm* ActiveForm() const { return activeForm_; }
  TControl* ActiveControl() const { return activeControl_; }

  std::function<void()> OnActiveControlChange;
  std::function<void()> OnActiveFormChange;

  // Kept up to date by the application and the forms.
  void SetActiveForm(TForm* form);
  void SetActiveControl(TControl* control);

 private:
  TCursor cursor_ = TCursor::Default;
  TForm* activeForm_ = nullptr;
  TControl* activeControl_ = nullptr;
};

class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  TCursor previous_;
};

}  // namespace forms
