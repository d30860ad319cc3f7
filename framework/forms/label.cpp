#include "framework/forms/label.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TLabel::TLabel(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TLabel::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  Changed();
}

void TLabel::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

}  // namespace forms
