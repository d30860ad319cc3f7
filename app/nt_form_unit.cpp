#include "app/nt_form_unit.hpp"

namespace app {

TNTStuffForm::TNTStuffForm() : TForm("NTStuffForm") {
  SetCaption("NTStuffForm");
  SetBounds(0, 0, 255, 170);
  Label1.SetCaption("Create this form only if the machine is NT or 2000");
}

}  // namespace app
