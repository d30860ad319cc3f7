#pragma once
// TNTStuffForm: the never-shown form that holds the file and registry security components
// used by the NT permission step. The installation makes it on the NT family only.
#include "framework/forms/form.hpp"
#include "framework/forms/label.hpp"
#include "winsec/file_security.hpp"
#include "winsec/reg_security.hpp"

namespace app {

class TNTStuffForm : public forms::TForm {
 public:
  TNTStuffForm();

  winsec::TNTFileSecurity NTFS1{*this, "NTFS1"};
  winsec::TNTRegSecurity NTReg1{*this, "NTReg1"};
  forms::TLabel Label1{*this, "Label1"};
};

}  // namespace app
