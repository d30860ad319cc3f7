#include "framework/forms/screen.hpp"

#include "framework/forms/application.hpp"
#include "platform/machine.hpp"

namespace forms {

int TScreen::Width() const {
  return platform::CurrentMachine().system().Screen().width;
}

int TScreen::Height() const {
  return platform::CurrentMachine().system().Screen().height;
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (HasApplication()) Application().Invalidate();
}

void TScreen::SetActiveForm(TForm* form) {
  if (form == activeForm_) return;
  activeForm_ = form;
  if (OnActiveFormChange) OnActiveFormChange();
}

void TScreen::SetActiveControl(TControl* control) {
  if (control == activeControl_) return;
  activeControl_ = control;
  if (OnActiveControlChange) OnActiveControlChange();
}

TWaitCursor::TWaitCursor() : previous_(Application().Screen().Cursor()) {
  Application().Screen().SetCursor(TCursor::HourGlass);
}

TWaitCursor::~TWaitCursor() {
  if (HasApplication()) Application().Screen().SetCursor(previous_);
}

}  // namespace forms
