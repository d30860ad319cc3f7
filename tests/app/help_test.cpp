#include "app/help.hpp"

#include "app/help_shortcuts.hpp"
#include "app/setup.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/script_backend.hpp"
#include "framework/forms/script_queue.hpp"
#include "lnk_reader.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

TEST(StartMenuFolder, DependsOnTheWindowsKindAndVersion) {
  struct Case {
    sysinfo::WTypes kind;
    int major;
    std::optional<std::string> folder;
  };
  const Case cases[] = {
      {sysinfo::z_95, 4, "C:\\WIN\\Start Menu\\Programs\\Ostrel"},
      {sysinfo::z_NT, 4, "C:\\WIN\\Profiles\\All Users\\Start Menu\\Programs\\Ostrel"},
      {sysinfo::z_NT, 5, "c:\\documents and settings\\all users\\start menu\\programs\\Ostrel"},
      {sysinfo::z_NT, 3, std::nullopt},
      {sysinfo::z_NT, 6, std::nullopt},
      {sysinfo::z_Win32S, 3, std::nullopt},
      {sysinfo::z_Windows, 4, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::StartMenuFolder(c.kind, c.major, "C:\\WIN"), c.folder)
        << c.kind << " " << c.major;
  }
}

class HelpTest : public SimMachineTest {};

TEST_F(HelpTest, ShellLinksRunTheBareNameWithTheFullPathAsArgument) {
  MakeMachine("win98", false);
  EXPECT_TRUE(app::CreateShellLink("C:\\WINDOWS\\Desk", "C:\\WINDOWS\\SYSTEM\\Oshelp.hlp",
                                   "C:\\WINDOWS\\SYSTEM"));
  std::optional<LinkContents> link = ReadLink(ReadFile("C:\\WINDOWS\\Desk.lnk"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->relativePath, "Oshelp.hlp");
  EXPECT_EQ(link->arguments, "C:\\WINDOWS\\SYSTEM\\Oshelp.hlp");
  EXPECT_EQ(link->workingFolder, "C:\\WINDOWS\\SYSTEM");
  EXPECT_FALSE(app::CreateShellLink("C:\\Missing\\Desk", "C:\\x.exe", "C:\\"));
}

TEST_F(HelpTest, TheFinishPageShowsTheTipsAndEscapePressesFinish) {
  MakeMachine("win98");
  forms::ScriptQueue script;
  script.AnswerMessages({forms::ModalResult::Cancel});
  forms::ScriptBackend backend;
  backend.SetAnswers(&script);
  app::SetupProgram setup(backend);
  app::TfrmHelp& help = *setup.Forms().frmHelp;
  const std::string tips =
      "You are ready to surf safely with Korvane!\r\n\nWe have a few quick tips for you before "
      "you begin.\r\n\n1) You will notice a new icon in your system tray, which looks like the "
      "icon below Clicking on this icon with either mouse button will allow you access to the "
      "Korvane menu options.\r\n\n2) If you do encounter sites that contain questionable "
      "material, please submit them to Korvane so that we may review them to decide whether or "
      "not they should be blocked for all of our users.\n\nIf you have any difficulties with "
      "your software, please see either the Help Documentation, or the Tech Support section of "
      "our website at ";
  EXPECT_TRUE(help.FinishText.Text().starts_with(tips)) << help.FinishText.Text();
  EXPECT_GT(help.FinishText.Text().size(), tips.size());
  EXPECT_FALSE(help.image1.Glyph().Empty());

  help.Show();
  backend.Actor().PressEscape();
  EXPECT_FALSE(help.Visible());
  EXPECT_TRUE(setup.Application().Terminated());
  // Cancel: the filter program is not started.
  EXPECT_EQ(script.Messages().size(), 1u);
  std::vector<platform::ProcessEntry> entries;
  Machine().processes().Snapshot(entries);
  for (const auto& entry : entries)
    EXPECT_EQ(entry.exePath.find("qalvint"), std::string::npos);
  EXPECT_TRUE(Exists("C:\\WINDOWS\\Start Menu\\Programs\\Ostrel\\OsUninstall.lnk"));
}

}  // namespace
}  // namespace app_test
