#include "framework/forms/db_check_box.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {
namespace {

// The texts of a ";"-separated list.
std::vector<std::string> Alternatives(const std::string& list) {
  std::vector<std::string> result;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = list.find(';', start);
    result.push_back(list.substr(start, end - start));
    if (end == std::string::npos) return result;
    start = end + 1;
  }
}

bool Matches(const std::string& text, const std::string& list) {
  for (const std::string& alternative : Alternatives(list)) {
    if (SameName(text, alternative)) return true;
  }
  return false;
}

}  // namespace

TDBCheckBox::TDBCheckBox(TWinControl& parent, std::string name)
    : TCheckBox(parent, std::move(name)), link_([this] { Refresh(); }) {}

void TDBCheckBox::SetValueChecked(std::string text) {
  valueChecked_ = std::move(text);
  Refresh();
}

void TDBCheckBox::SetValueUnchecked(std::string text) {
  valueUnchecked_ = std::move(text);
  Refresh();
}

void TDBCheckBox::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

void TDBCheckBox::Click() {
  if (link_.Active()) {
    if (link_.Field().DataType() == db::FieldType::Boolean) {
      link_.WriteBoolean(Checked());
    } else {
      link_.WriteText(Alternatives(Checked() ? valueChecked_ : valueUnchecked_).front());
    }
  }
  TCheckBox::Click();
}

void TDBCheckBox::Refresh() {
  if (!link_.Active()) {
    ShowChecked(false);
  } else if (link_.Field().DataType() == db::FieldType::Boolean) {
    ShowChecked(link_.Field().AsBoolean());
  } else {
    ShowChecked(Matches(link_.Field().AsString(), valueChecked_));
  }
}

}  // namespace forms
