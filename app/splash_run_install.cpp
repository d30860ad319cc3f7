// The installation sequence of the wizard (RunInstall): stop running product programs, detect
// an earlier installation, carry settings over, prepare the browsers' proxy values, merge old
// data, copy the product files, adjust NT permissions, delete stale index files, register the
// filter program, write the product settings, and hand over to the next form.
#include "app/help.hpp"
#include "app/nt_form_unit.hpp"
#include "app/registry_paths.hpp"
#include "app/splash.hpp"
#include "app/splash_browser_proxy.hpp"
#include "app/splash_product_files.hpp"
#include "app/unit_app_die.hpp"
#include "app/user_edit_unit.hpp"
#include "framework/forms/dialogs.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace app {
namespace {

constexpr std::string_view kFilterProgram = "QALVINT.EXE";
constexpr std::string_view kSecondProgram = "DORSK6.EXE";

// The import question comes when all site lists and the users table are there, or the log.
bool OffersSiteImport(std::string_view systemDir) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  bool allLists = true;
  for (std::string_view name : {"KV015.dat", "KV025.dat", "KV035.dat", "KV100.dat", "KVUS.dat"}) {
    allLists = allLists && files.Exists(platform::PathJoin(systemDir, name));
  }
  return allLists || files.Exists(platform::PathJoin(systemDir, "KVLog.dat"));
}

}  // namespace

void TSplashform::RunInstall() {
  StopRunningPrograms();

  carried_.proxyPort = 0;
  carried_.idleTimeOut = 0;
  carried_.serverType = 0;
  if (HasEarlierInstallation(systemDir_)) existingInstall_ = true;

  CarryPerUserSettings(carried_);

  // The machine key stays open for the whole sequence; page 3 has just written the proxy
  // answers there, so they are what is carried.
  framework::TRegistry machineKey;
  machineKey.SetRootKey(platform::hkey::LocalMachine);
  machineKey.OpenKey(registry_paths::kProductKey, true);
  ReadCarriedSettings(machineKey, CarryOrder::MachineKey, carried_);

  framework::TRegistry internetSettings;
  SaveInternetSettings(internetSettings, machineKey, existingInstall_);
  ScanNetscapeProfiles();
  RedirectNetscapeProxy();

  if (existingInstall_) MergeOldData(internetSettings, machineKey);

  stopReport_.filesNotReplaced = CopyProductFiles(
      systemDir_, [this](std::string_view name) { return mergeFolder_.SourceOf(name); });
  mergeFolder_.Clear();
  if (appinfo.WindowKind() != sysinfo::z_95) SetNTPermissions();
  DeleteStaleIndexFiles(setupDir_, systemDir_);
  RegisterFilterProgram();
  WriteProductSettings(machineKey, carried_, existingInstall_, setupDir_);
  HandOver();
}

void TSplashform::StopRunningPrograms() {
  if (appinfo.WindowKind() == sysinfo::z_95) {
    CloseWindowsOfExe(kFilterProgram, stopReport_);
    CloseWindowsOfExe(kSecondProgram, stopReport_);
    return;
  }
  forms_.ntStuffForm = std::make_unique<TNTStuffForm>();
  KillProcessByName(kFilterProgram, stopReport_);
  KillProcessByName(kSecondProgram, stopReport_);
}

void TSplashform::MergeOldData(framework::TRegistry& internetSettings,
                               framework::TRegistry& machineKey) {
  if (OffersSiteImport(systemDir_) &&
      forms::MessageBox(std::string(kImportQuestion), "", forms::MessageButtons::YesNo) ==
          forms::ModalResult::Yes) {
    ImportSiteLists();
  }
  if (platform::CurrentMachine().files().Exists(platform::PathJoin(systemDir_, "KVUS.dat")))
    MergeUsers();
  CloseTables();
  MoveOlderReleaseValues(internetSettings, machineKey);
}

void TSplashform::NoteStepNotCarriedOut(std::string_view step) {
  stepsNotCarriedOut_.emplace_back(step);
}

void TSplashform::HandOver() {
  Hide();
  if (existingInstall_) {
    forms_.frmHelp->ShowModal();
  } else {
    forms_.userEditForm->Show();
  }
}

}  // namespace app
