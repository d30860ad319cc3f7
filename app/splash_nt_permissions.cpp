// The NT permission step of the installation, through the security components of the
// never-shown TNTStuffForm, and the check before page 3 changes anything that it can be done.
#include "app/nt_permissions.hpp"
#include "app/splash.hpp"

namespace app {

void TSplashform::CheckNTPermissionsPossible() {
  if (appinfo.WindowKind() == sysinfo::z_95) return;
  CheckNtPermissionsPossible(forms_.widening);
}

void TSplashform::SetNTPermissions() {
  if (!forms_.ntStuffForm) forms_.ntStuffForm = std::make_unique<TNTStuffForm>();
  for (const PermissionChange& change :
       SetNtPermissions(*forms_.ntStuffForm, systemDir_, forms_.widening))
    accessChanges_.push_back(change.Text());
}

}  // namespace app
