#include "app/unit1.hpp"

#include "framework/forms/colors.hpp"

namespace app {

TStart::TStart() : TForm("Start") {
  SetColor(forms::clNavy);
  SetBounds(0, 0, 544, 422);
  grpWelcome.SetCaption("Welcome");
}

}  // namespace app
