#include "app/help.hpp"

#include "app/help_shortcuts.hpp"
#include "app/help_texts.hpp"
#include "app/help_tray_icon.hpp"
#include "app/splash.hpp"
#include "app/system_folders.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/dialogs.hpp"
#include "platform/machine.hpp"

namespace app {

TfrmHelp::TfrmHelp(SetupForms& forms) : TForm("frmHelp"), forms_(forms) {
  SetCaption(std::string(kFinishCaption));
  SetBorderIcons({});
  SetBounds(0, 0, 544, 320);
  SetPosition(forms::TPosition::ScreenCenter);

  FinishText.SetBounds(24, 18, 499, 211);
  FinishText.SetReadOnly(true);
  FinishText.SetPlainText(true);
  FinishText.SetScrollBars(forms::TScrollStyle::Vertical);

  // A picture of the icon to look for; pressing it does nothing.
  image1.SetBounds(126, 234, 37, 37);
  image1.SetStyle(forms::TButtonStyle::Win31);
  image1.SetTabStop(false);
  forms::TPicture glyph;
  glyph.Assign(TrayIconBitmap());
  image1.Glyph() = glyph;

  Label1.SetLeft(78);
  Label1.SetTop(276);
  Label1.SetCaption("Look for this icon in system tray");

  bitbtnFinish.SetBounds(330, 246, 91, 31);
  bitbtnFinish.SetCaption("Finish");
  bitbtnFinish.SetCancel(true);
  bitbtnFinish.OnClick = [this] { bitbtnFinishClick(); };

  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  forms_.frmHelp = this;
}

void TfrmHelp::FormCreate() {
  forms::Application().ProcessMessages();
  ShowFinishText();
}

// By the time the page shows, the installation has run.
void TfrmHelp::FormShow() {
  ShowFinishText();
}

void TfrmHelp::ShowFinishText() {
  FinishText.Clear();
  for (std::string_view piece : FinishPieces())
    FinishText.Append(std::string(piece));
  const std::vector<std::string> problems = forms_.splashform->StopReport().ProblemLines();
  if (!problems.empty()) {
    FinishText.Append(std::string(kProgramsAndFilesToSeeTo));
    for (const std::string& line : problems)
      FinishText.Append("\r\n- " + line);
  }
  const std::vector<std::string>& changes = forms_.splashform->AccessChanges();
  if (!changes.empty()) FinishText.Append(std::string(kAccessChanges));
  for (const std::string& change : changes)
    FinishText.Append("\r\n- " + change);
  const std::vector<std::string>& notDone = forms_.splashform->StepsNotCarriedOut();
  if (notDone.empty()) return;
  FinishText.Append(std::string(kStepsNotCarriedOut));
  for (const std::string& step : notDone)
    FinishText.Append("\r\n- " + step);
}

void TfrmHelp::bitbtnFinishClick() {
  platform::Machine& machine = platform::CurrentMachine();
  std::string systemDir = FolderBuffer(machine.program().SystemFolder());
  std::string windowsDir = FolderBuffer(machine.program().WindowsFolder());
  const sysinfo::TzShowApp& appinfo = forms_.splashform->appinfo;
  if (std::optional<std::string> folder =
          StartMenuFolder(appinfo.WindowKind(), appinfo.WinVerMajor(), windowsDir)) {
    CreateStartMenuEntries(*folder, systemDir);
  }
  Hide();
  if (forms::MessageBox(std::string(kStartNowQuestion), std::string(kFinishCaption),
                        forms::MessageButtons::OkCancel) == forms::ModalResult::Ok) {
    // A filter program that does not start is not reported.
    machine.shell().Execute("qalvint.exe", "", systemDir, platform::show_mode::ShowNormal);
  }
  forms::Application().Terminate();
}

}  // namespace app
