#include "app/user_edit_unit.hpp"

#include "app/help.hpp"

namespace app {

TUserEditForm::TUserEditForm(SetupForms& forms) : TForm("UserEditForm"), forms_(forms) {
  SetCaption("Creating User Accounts");
  SetBorderIcons({});
  SetBounds(0, 0, 473, 471);
  SetPosition(forms::TPosition::DesktopCenter);
  OnActivate = [this] { FormActivate(); };
  forms_.userEditForm = this;
}

void TUserEditForm::FormActivate() {
  Hide();
  forms_.frmHelp->ShowModal();
  Close();
}

}  // namespace app
