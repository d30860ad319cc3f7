// Carrying an earlier installation's own data into the tables being installed: the sites the
// user added to the site lists and the user accounts. Both work on the product tables through
// the table engine's dataset, which the installer does not have yet; until it does, the
// shipped lists and accounts are installed as they come, each step is recorded as not carried
// out, and the wizard holds no open tables.
#include "app/splash.hpp"

namespace app {

void TSplashform::ImportSiteLists() {
  NoteStepNotCarriedOut(kSiteImportStep);
}

void TSplashform::MergeUsers() {
  NoteStepNotCarriedOut(kUserMergeStep);
}

void TSplashform::CloseTables() {}

}  // namespace app
