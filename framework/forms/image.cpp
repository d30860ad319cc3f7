#include "framework/forms/image.hpp"

#include "framework/forms/control_visitor.hpp"

namespace forms {

TImage::TImage(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {}

void TImage::SetPicture(TPicture picture) {
  picture_ = std::move(picture);
  Changed();
}

void TImage::ClearPicture() {
  picture_.Clear();
  Changed();
}

void TImage::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

}  // namespace forms
