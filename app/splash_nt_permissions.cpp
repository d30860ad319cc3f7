// The NT permission step: widening the access of the group Everyone to the product's registry
// keys and data files. It works through the file and registry security components of the
// never-shown TNTStuffForm, which the installer does not have yet; until it does, the
// permissions the copies received stay as they are and the step is recorded as not carried out.
#include "app/splash.hpp"

namespace app {

void TSplashform::SetNTPermissions() {
  NoteStepNotCarriedOut(kNtPermissionsStep);
}

}  // namespace app
