#pragma once
// TImage: shows a picture, centred in its area when Center is set.
#include "framework/forms/control.hpp"
#include "framework/forms/picture.hpp"

namespace forms {

class TImage : public TControl {
 public:
  TImage(TWinControl& parent, std::string name);

  const TPicture& Picture() const { return picture_; }
  void SetPicture(TPicture picture);
  void ClearPicture();
  bool Center() const { return center_; }
  void SetCenter(bool center) { center_ = center; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch) { stretch_ = stretch; }

  void Accept(ControlVisitor& visitor) override;

 private:
  TPicture picture_;
  bool center_ = false;
  bool stretch_ = false;
};

}  // namespace forms
