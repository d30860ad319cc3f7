// Carrying an earlier installation's own data into the tables being installed: the sites the
// user added to the site lists and the user accounts. Both are merged into working copies of
// the shipped tables (MergeFolder), which the installation then copies into the system folder.
#include "app/site_list_import.hpp"
#include "app/splash.hpp"
#include "app/users_merge.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/screen.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace app {

void TSplashform::ImportSiteLists() {
  forms::TWaitCursor wait;
  forms::Application().ProcessMessages();
  for (std::string_view list : SiteListNames()) {
    const std::string tableName = std::string(list) + ".Dat";
    const std::string oldList = platform::PathJoin(systemDir_, tableName);
    // The question also comes when only the log is there: a list the earlier installation
    // lacks holds nothing of the user's.
    if (!platform::CurrentMachine().files().Exists(oldList)) continue;
    ImportSiteList(URLSDB, mergeFolder_.WorkingCopy(setupDir_, tableName), Temptable, oldList);
  }
}

void TSplashform::MergeUsers() {
  constexpr std::string_view kUsersTable = "KVUS.dat";
  MergeUserTables(UsersDb, mergeFolder_.WorkingCopy(setupDir_, kUsersTable), Temptable,
                  platform::PathJoin(systemDir_, kUsersTable));
}

void TSplashform::CloseTables() {
  Temptable.Close();
  UsersDb.Close();
  URLSDB.Close();
}

}  // namespace app
