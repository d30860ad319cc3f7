#pragma once
// TUserEditForm: the user-account form of a new installation. Setting up the PARENT and GUEST
// accounts needs the users table through the table engine, which the installer does not have
// yet: until it does, the shipped accounts are installed as they come, and the form, when it
// becomes active, hands straight over to the finish page.
#include "app/setup_forms.hpp"
#include "framework/forms/form.hpp"

namespace app {

class TUserEditForm : public forms::TForm {
 public:
  explicit TUserEditForm(SetupForms& forms);

  void FormActivate();

 private:
  SetupForms& forms_;
};

}  // namespace app
