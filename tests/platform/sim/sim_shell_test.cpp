#include <gtest/gtest.h>

#include "platform/native/shell_link_format.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

class SimShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeMachine(folder.path(), "win95");
    machine = SimMachine::Open(folder.path());
    ASSERT_EQ(machine->files().MakeFolder("C:\\KVSETUP"), win_error::Success);
    for (const char* path : {"C:\\WINDOWS\\SYSTEM\\QALVINT.EXE", "C:\\KVSETUP\\QALVINT.EXE",
                             "C:\\WINDOWS\\SYSTEM\\Oshelp.hlp"}) {
      std::unique_ptr<File> file;
      ASSERT_EQ(machine->files().Open(path, file_access::GenericWrite, file_share::None,
                                      Disposition::CreateAlways, file),
                win_error::Success);
    }
  }
  std::string LastProcessPath() {
    std::vector<ProcessEntry> entries;
    machine->processes().Snapshot(entries);
    return entries.back().exePath;
  }
  testing::TempFolder folder;
  std::unique_ptr<SimMachine> machine;
};

TEST_F(SimShellTest, LinksAreWrittenInTheLinkFormat) {
  ShellLinkData link;
  link.path = "OsUninstall.exe";
  link.arguments = "C:\\WINDOWS\\SYSTEM\\OsUninstall.exe";
  link.workingFolder = "C:\\WINDOWS\\SYSTEM";
  const std::string target = "C:\\WINDOWS\\Start Menu\\Programs\\Ostrel";
  ASSERT_EQ(machine->files().MakeFolder(target), win_error::Success);
  ASSERT_EQ(machine->shell().SaveLink(link, target + "\\OsUninstall.lnk"), win_error::Success);
  std::unique_ptr<File> file;
  ASSERT_EQ(machine->files().Open(target + "\\osuninstall.LNK", file_access::GenericRead,
                                  file_share::Read, Disposition::OpenExisting, file),
            win_error::Success);
  const std::vector<std::uint8_t> expected = ShellLinkBytes(link);
  std::vector<std::uint8_t> bytes(expected.size() + 16);
  std::uint32_t read = 0;
  ASSERT_EQ(file->ReadAt(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()), read), 0u);
  bytes.resize(read);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(machine->shell().SaveLink(link, "C:\\NO SUCH FOLDER\\x.lnk"), win_error::PathNotFound);
}

TEST_F(SimShellTest, ALinkTheFormatCannotHoldIsAnErrorNumberAndNoFile) {
  ShellLinkData link;
  link.path = "C:\\WINDOWS\\SYSTEM\\QALVINT.EXE";
  link.description = std::string(70000, 'd');
  EXPECT_EQ(machine->shell().SaveLink(link, "C:\\WINDOWS\\Korvane.lnk"),
            win_error::InvalidParameter);
  EXPECT_FALSE(machine->files().Exists("C:\\WINDOWS\\Korvane.lnk"));
}

TEST_F(SimShellTest, ProgramsAreFoundInTheUsualPlacesAndStart) {
  struct Case {
    const char* file;
    const char* folder;
    const char* started;
  };
  const Case cases[] = {
      {"qalvint.exe", "C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\SYSTEM\\qalvint.exe"},
      {"qalvint.exe", "C:\\KVSETUP", "C:\\KVSETUP\\qalvint.exe"},
      {"qalvint.exe", "", "C:\\WINDOWS\\SYSTEM\\qalvint.exe"},  // current folder C:\ lacks it
      {"C:\\KVSETUP\\QALVINT.EXE", "C:\\WINDOWS", "C:\\KVSETUP\\QALVINT.EXE"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(machine->shell().Execute(c.file, "", c.folder, show_mode::ShowDefault),
              win_error::Success)
        << c.file << " in " << c.folder;
    EXPECT_EQ(LastProcessPath(), c.started);
  }
  machine->program().SetCurrentFolder("C:\\KVSETUP");
  ASSERT_EQ(machine->shell().Execute("QALVINT.EXE", "", "", show_mode::ShowDefault), 0u);
  EXPECT_EQ(LastProcessPath(), "C:\\KVSETUP\\QALVINT.EXE");
}

TEST_F(SimShellTest, MissingFilesAndDocumentsDoNotStart) {
  const std::size_t before = machine->processes().TopLevelWindows().size();
  EXPECT_EQ(machine->shell().Execute("dorsk6.exe", "", "", show_mode::ShowDefault),
            win_error::FileNotFound);
  EXPECT_EQ(machine->shell().Execute("", "", "", show_mode::ShowDefault), win_error::FileNotFound);
  EXPECT_EQ(machine->shell().Execute("Oshelp.hlp", "", "", show_mode::ShowDefault),
            win_error::NoAssociation);
  EXPECT_EQ(machine->shell().Execute("SYSTEM", "", "C:\\WINDOWS", show_mode::ShowDefault),
            win_error::FileNotFound);  // a folder is not a program
  EXPECT_EQ(machine->processes().TopLevelWindows().size(), before);
}

}  // namespace
}  // namespace platform::sim
