#include "framework/forms/form_actor.hpp"

#include <algorithm>

#include "framework/forms/button.hpp"
#include "framework/forms/check_box.hpp"
#include "framework/forms/combo_box.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/rich_edit.hpp"

namespace forms {
namespace {

template <class Match>
TControl* Search(const TWinControl& container, const Match& match) {
  for (TControl* control : container.TabOrdered()) {
    if (match(*control)) return control;
    if (auto* inner = dynamic_cast<const TWinControl*>(control)) {
      if (TControl* found = Search(*inner, match)) return found;
    }
  }
  return nullptr;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

FormActor::FormActor(TApplication& app, TForm& form) : app_(app), form_(form) {}

const std::string& FormActor::Caption() const {
  return form_.Caption();
}

void FormActor::Click(std::string_view button) {
  auto* target = dynamic_cast<TButton*>(&Usable(button, "button"));
  if (!target) throw EScriptError(Quoted(button) + " on " + Quoted(Caption()) + " is not a button");
  app_.Dispatch([target] { target->Click(); });
}

void FormActor::Type(std::string_view edit, const std::string& text) {
  TControl& control = Usable(edit, "edit box");
  if (auto* box = dynamic_cast<TEdit*>(&control)) {
    if (box->ReadOnly()) {
      throw EScriptError("The edit box " + Quoted(edit) + " on " + Quoted(Caption()) +
                         " is read-only");
    }
    app_.Dispatch([box, &text] { box->EnterText(text); });
  } else if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
    app_.Dispatch([combo, &text] { combo->EnterText(text); });
  } else {
    throw EScriptError(Quoted(edit) + " on " + Quoted(Caption()) + " is not an edit box");
  }
}

void FormActor::Check(std::string_view box, bool checked) {
  auto* target = dynamic_cast<TCheckBox*>(&Usable(box, "check box"));
  if (!target) throw EScriptError(Quoted(box) + " on " + Quoted(Caption()) + " is not a check box");
  app_.Dispatch([target, checked] { target->SetChecked(checked); });
}

void FormActor::Select(std::string_view combo, const std::string& item) {
  auto* target = dynamic_cast<TComboBox*>(&Usable(combo, "combo box"));
  if (!target)
    throw EScriptError(Quoted(combo) + " on " + Quoted(Caption()) + " is not a combo box");
  const auto& items = target->Items();
  const bool listed = std::any_of(items.begin(), items.end(),
                                  [&](const std::string& entry) { return SameName(entry, item); });
  if (!listed) {
    throw EScriptError("The combo box " + Quoted(combo) + " on " + Quoted(Caption()) +
                       " has no item " + Quoted(item));
  }
  app_.Dispatch([target, &item] { target->EnterText(item); });
}

void FormActor::PressEnter() {
  auto* focused = dynamic_cast<TButton*>(form_.ActiveControl());
  TButton* target = focused && focused->CanFocus() ? focused : form_.DefaultButton();
  if (!target) throw EScriptError(Quoted(Caption()) + " has no default button for Enter");
  app_.Dispatch([target] { target->Click(); });
}

void FormActor::PressEscape() {
  TButton* target = form_.CancelButton();
  if (!target) throw EScriptError(Quoted(Caption()) + " has no cancel button for Escape");
  app_.Dispatch([target] { target->Click(); });
}

void FormActor::CloseForm() {
  if (!form_.BorderIcons().systemMenu) {
    throw EScriptError("The window " + Quoted(Caption()) + " has no close box");
  }
  app_.Dispatch([this] { form_.CloseFromTitleBar(); });
}

TControl* FormActor::Find(std::string_view nameOrCaption) const {
  if (TControl* byName =
          Search(form_, [&](const TControl& c) { return SameName(c.Name(), nameOrCaption); })) {
    return byName;
  }
  return Search(form_, [&](const TControl& c) {
    return !c.Caption().empty() && SameName(StripAccelerator(c.Caption()), nameOrCaption);
  });
}

bool FormActor::CanClick(std::string_view button) const {
  auto* target = dynamic_cast<TButton*>(Find(button));
  return target && target->Showing() && target->EnabledInTree();
}

std::string FormActor::TextOf(std::string_view control) const {
  TControl* target = Find(control);
  if (!target) throw EScriptError(Quoted(Caption()) + " has no control " + Quoted(control));
  if (auto* edit = dynamic_cast<TEdit*>(target)) return edit->Text();
  if (auto* combo = dynamic_cast<TComboBox*>(target)) return combo->Text();
  if (auto* rich = dynamic_cast<TRichEdit*>(target)) return rich->Text();
  return target->Caption();
}

TControl& FormActor::Usable(std::string_view nameOrCaption, std::string_view what) const {
  TControl* control = Find(nameOrCaption);
  const std::string where = " on " + Quoted(Caption());
  if (!control) {
    throw EScriptError("There is no " + std::string(what) + " " + Quoted(nameOrCaption) + where);
  }
  if (!control->Showing()) {
    throw EScriptError("The " + std::string(what) + " " + Quoted(nameOrCaption) + where +
                       " is not visible");
  }
  if (!control->EnabledInTree()) {
    throw EScriptError("The " + std::string(what) + " " + Quoted(nameOrCaption) + where +
                       " is disabled");
  }
  return *control;
}

}  // namespace forms
