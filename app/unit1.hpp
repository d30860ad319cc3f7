#pragma once
// TStart: a plain welcome form. The program makes it at start and never shows it.
#include "framework/forms/form.hpp"
#include "framework/forms/group_box.hpp"

namespace app {

class TStart : public forms::TForm {
 public:
  TStart();

  forms::TGroupBox grpWelcome{*this, "grpWelcome"};
};

}  // namespace app
