#include "framework/forms/db_edit.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TDBEdit::TDBEdit(TWinControl& parent, std::string name)
    : TEdit(parent, std::move(name)), link_([this] { Refresh(); }) {}

void TDBEdit::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TDBEdit::Change() {
  if (link_.Active()) link_.WriteText(Text());
  TEdit::Change();
}

void TDBEdit::Refresh() {
  if (!link_.Active()) {
    ShowText({});
    return;
  }
  const db::TField& field = link_.Field();
  if (field.DataType() == db::FieldType::String) SetMaxLength(field.Size());
  ShowText(field.AsString());
}

}  // namespace forms
