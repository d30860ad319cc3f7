// Carrying an earlier installation's own data into the tables being installed: the sites the
// user added to the site lists and the user accounts. Both work on the product tables through
// the table engine's dataset, which the installer does not have yet; until it does, the
// shipped lists and accounts are installed as they come and the wizard holds no open tables.
#include "app/splash.hpp"

namespace app {

void TSplashform::ImportSiteLists() {}

void TSplashform::MergeUsers() {}

void TSplashform::CloseTables() {}

}  // namespace app
