#include "app/splash.hpp"

#include "app/shipped_tables_check.hpp"
#include "app/splash_proxy_questions.hpp"
#include "app/splash_texts.hpp"
#include "app/system_folders.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/colors.hpp"
#include "platform/machine.hpp"

namespace app {

TSplashform::TSplashform(SetupForms& forms) : TForm("Splashform"), forms_(forms) {
  SetCaption("Korvane Install");
  SetBorderIcons({});
  SetClientSize(641, 481);
  SetColor(forms::clBlue);
  SetPosition(forms::TPosition::DesktopCenter);
  SetFontName("MS Sans Serif");

  Image1.SetBounds(0, 0, 640, 480);
  Image1.SetCenter(true);

  grpSetup.SetBounds(116, 132, 397, 271);
  grpSetup.SetColor(forms::clGray);
  grpSetup.SetCaption("Installing Korvane");
  grpSetup.Hide();

  Instructions.SetBounds(18, 24, 361, 211);
  Instructions.SetReadOnly(true);
  Instructions.SetTabStop(false);
  Instructions.SetText("Instructions");

  Back.SetBounds(30, 240, 79, 25);
  Back.SetCaption("Back");
  Back.OnClick = [this] { BackClick(); };
  Next.SetBounds(162, 240, 73, 25);
  Next.SetCaption("Next");
  Next.OnClick = [this] { NextClick(); };
  Cancel.SetBounds(288, 240, 73, 25);
  Cancel.SetCaption("Cancel");
  Cancel.OnClick = [this] { CancelClick(); };

  Timer1.SetInterval(5000);
  Timer1.SetEnabled(true);
  Timer1.OnTimer = [this] { Timer1Timer(); };

  appinfo.SetUseCmdShow(false);
  appinfo.SetShowHint(true);

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  forms_.splashform = this;
}

std::string ProgramFolder() {
  const std::string modulePath = platform::CurrentMachine().program().ModulePath();
  // Up to, not including, the last backslash: a program in a drive's root gives "C:", and
  // every file name is made as SetupDir + "\NAME".
  const std::size_t lastBackslash = modulePath.rfind('\\');
  return lastBackslash == std::string::npos ? std::string() : modulePath.substr(0, lastBackslash);
}

void TSplashform::FormCreate() {
  setupDir_ = ProgramFolder();
  systemDir_ = FolderBuffer(platform::CurrentMachine().program().SystemFolder());
}

void TSplashform::Timer1Timer() {
  pageIndex_ = 1;
  ShowPage();
  Timer1.SetEnabled(false);
}

void TSplashform::BackClick() {
  if (pageIndex_ <= 0) return;
  --pageIndex_;
  ShowPage();
}

void TSplashform::NextClick() {
  ++pageIndex_;
  ShowPage();
}

void TSplashform::CancelClick() {
  forms::TApplication& application = forms::Application();
  application.Terminate();
  application.Clock().Sleep(200);
  Close();
}

void TSplashform::ShowPage() {
  switch (pageIndex_) {
    case 0:
      grpSetup.Hide();
      Timer1.SetEnabled(true);
      break;
    case 1:
      ShowWelcomePage();
      break;
    case 2:
      ShowLicencePage();
      break;
    case 3:
      RunInstallationPage();
      break;
    default:
      break;
  }
}

void TSplashform::AppendPieces(std::span<const std::string_view> pieces) {
  for (std::string_view piece : pieces)
    Instructions.Append(std::string(piece));
}

void TSplashform::ShowWelcomePage() {
  Timer1.SetEnabled(false);
  grpSetup.Show();
  Back.SetCaption("Back");
  Back.SetEnabled(false);
  Next.SetCaption("Next");
  Cancel.SetCaption("Cancel");
  grpSetup.SetCaption("Welcome to Korvane");
  Instructions.SetScrollBars(forms::TScrollStyle::None);
  Instructions.Clear();
  AppendPieces(WelcomePieces());
}

void TSplashform::ShowLicencePage() {
  Timer1.SetEnabled(false);
  grpSetup.Show();
  Back.SetCaption("Back");
  Back.SetEnabled(true);
  Next.SetCaption("Yes");
  Cancel.SetCaption("No");
  grpSetup.SetCaption("Software License Agreement");
  Instructions.Clear();
  Instructions.SetScrollBars(forms::TScrollStyle::Both);
  AppendPieces(LicencePieces());
}

void TSplashform::RunInstallationPage() {
  Timer1.SetEnabled(false);
  grpSetup.Hide();
  installStarted_ = true;
  // Without the site list the installation could not finish; find that out before anything
  // on the machine changes.
  CheckSiteListPresent(setupDir_);
  CheckShippedTablesOpen(setupDir_);
  CheckNTPermissionsPossible();
  WriteProxyAnswers(AskProxyQuestions());
  grpSetup.Hide();
  SetCaption(std::string(kInstallingCaption));
  forms::Application().ProcessMessages();
  RunInstall();
}

}  // namespace app
