#pragma once
// TSplashform: the installer's wizard and main form. It shows the background picture, moves
// from the splash state to the welcome page after 5000 ms, walks the welcome and licence pages
// and, on page 3, asks the proxy questions and runs the installation (RunInstall), which hands
// over to the user-account form or the finish form.
#include <string>
#include <vector>

#include "app/merge_folder.hpp"
#include "app/program_stop_report.hpp"
#include "app/setup_forms.hpp"
#include "app/splash_product_settings.hpp"
#include "framework/forms/button.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/group_box.hpp"
#include "framework/forms/image.hpp"
#include "framework/forms/rich_edit.hpp"
#include "framework/forms/timer.hpp"
#include "sysinfo/mystd.hpp"
#include "tables/dataset/xbase_data_set.hpp"

namespace app {

// Texts of the questions page 3 and the installation ask.
inline constexpr std::string_view kInstallingCaption = "Copying files, please wait. ";
inline constexpr std::string_view kImportQuestion =
    "You are installing a new version of Korvane. Would you like to import your existing "
    "blocking list?";

// The folder of the running program (SetupDir), without a trailing backslash.
std::string ProgramFolder();

// The background picture of the wizard from the configuration table of the setup folder.
// Raises the engine's error when the table cannot be read and forms::EInvalidGraphic when
// its picture cannot be decoded.
forms::TPicture LoadInstallPicture();

class TSplashform : public forms::TForm {
 public:
  explicit TSplashform(SetupForms& forms);

  forms::TImage Image1{*this, "Image1"};
  forms::TGroupBox grpSetup{*this, "grpSetup"};
  forms::TRichEdit Instructions{grpSetup, "Instructions"};
  forms::TButton Back{grpSetup, "Back"};
  forms::TButton Next{grpSetup, "Next"};
  forms::TButton Cancel{grpSetup, "Cancel"};
  // Made before the timer: it measures the processor's speed as it is made, and the splash
  // delay starts after that.
  sysinfo::TzShowApp appinfo{*this, "appinfo"};
  forms::TTimer Timer1{*this, "Timer1"};

  // Program-wide state of the wizard.
  int PageIndex() const { return pageIndex_; }
  const std::string& SetupDir() const { return setupDir_; }
  const std::string& SystemDir() const { return systemDir_; }
  bool ExistingInstall() const { return existingInstall_; }
  // Page 3 has begun: from here on an error ends the program.
  bool InstallStarted() const { return installStarted_; }
  // The steps that came up and could not be carried out, in that order.
  const std::vector<std::string>& StepsNotCarriedOut() const { return stepsNotCarriedOut_; }
  // The programs stopped or still running before the copy, and the files not replaced.
  const ProgramStopReport& StopReport() const { return stopReport_; }
  // What the NT permission step did, one line per object: its access list before and after,
  // or why it was left unchanged. Empty on the Windows 95 family.
  const std::vector<std::string>& AccessChanges() const { return accessChanges_; }

  void FormCreate();
  void FormShow();
  void Timer1Timer();
  void BackClick();
  void NextClick();
  void CancelClick();
  void ShowPage();

  // The installation proper (page 3, after the proxy questions).
  void RunInstall();
  // Records a step that came up and could not be carried out (also the account form's).
  void NoteStepNotCarriedOut(std::string_view step);

 private:
  void ShowWelcomePage();
  void ShowLicencePage();
  void RunInstallationPage();
  void AppendPieces(std::span<const std::string_view> pieces);

  // Steps of the installation carried out by their own routines.
  void StopRunningPrograms();
  void MergeOldData(framework::TRegistry& internetSettings, framework::TRegistry& machineKey);
  void ImportSiteLists();
  void MergeUsers();
  void CloseTables();
  void CheckNTPermissionsPossible();
  void SetNTPermissions();
  void HandOver();

  SetupForms& forms_;
  int pageIndex_ = 0;
  std::string setupDir_;
  std::string systemDir_;
  bool existingInstall_ = false;
  CarriedSettings carried_;
  bool installStarted_ = false;
  std::vector<std::string> stepsNotCarriedOut_;
  ProgramStopReport stopReport_;
  std::vector<std::string> accessChanges_;
  MergeFolder mergeFolder_;
  // After the merge folder: closed before its working copies are deleted. URLSDB holds the
  // new site list, Temptable the old list or users table, UsersDb the new users table.
  tables::TXbaseDataSet URLSDB{"URLSDB"};
  tables::TXbaseDataSet Temptable{"Temptable"};
  tables::TXbaseDataSet UsersDb{"UsersDb"};
};

}  // namespace app
