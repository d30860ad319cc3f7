#include <gtest/gtest.h>

#include <fstream>

#include "platform/exception.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

struct ProfileCase {
  const char* profile;
  std::uint32_t platformId, major, minor, build;
  const char* windowsFolder;
  const char* systemFolder;
  const char* fileSystem;
  ProcessId systemProcess;  // 0: none (95 family)
};

const ProfileCase kProfiles[] = {
    {"win95", platform_id::Windows, 4, 0, 0x040003B6, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "FAT",
     0},
    {"win98", platform_id::Windows, 4, 10, 0x040A07CE, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM", "FAT",
     0},
    {"nt4", platform_id::Nt, 4, 0, 1381, "C:\\WINNT", "C:\\WINNT\\SYSTEM32", "NTFS", 2},
    {"win2000", platform_id::Nt, 5, 0, 2195, "C:\\WINNT", "C:\\WINNT\\SYSTEM32", "NTFS", 8},
};

class ProfileTest : public ::testing::TestWithParam<ProfileCase> {
 protected:
  void SetUp() override {
    MakeMachine(folder.path(), GetParam().profile);
    machine = SimMachine::Open(folder.path());
  }
  bool IsFolder(std::string_view path) {
    std::uint32_t attributes = 0;
    return machine->files().Attributes(path, attributes) == win_error::Success &&
           (attributes & file_attribute::Directory);
  }
  testing::TempFolder folder;
  std::unique_ptr<SimMachine> machine;
};

TEST_P(ProfileTest, VersionFoldersAndFileSystems) {
  const ProfileCase& c = GetParam();
  const VersionRecord version = machine->system().Version();
  EXPECT_EQ(version.platformId, c.platformId);
  EXPECT_EQ(version.major, c.major);
  EXPECT_EQ(version.minor, c.minor);
  EXPECT_EQ(version.build, c.build);
  EXPECT_EQ(machine->program().WindowsFolder(), c.windowsFolder);
  EXPECT_EQ(machine->program().SystemFolder(), c.systemFolder);
  EXPECT_TRUE(IsFolder(c.systemFolder));
  EXPECT_TRUE(IsFolder(machine->program().TempFolder()));
  EXPECT_TRUE(IsFolder(StartMenuProgramsFolder(c.profile)));
  EXPECT_TRUE(IsFolder("C:\\Program Files"));
  std::string name;
  ASSERT_EQ(machine->files().VolumeFileSystem("C:\\", name), win_error::Success);
  EXPECT_EQ(name, c.fileSystem);
  EXPECT_EQ(machine->system().AnsiCodePage(), 1252u);
  EXPECT_FALSE(machine->clock().IsVirtual());
}

TEST_P(ProfileTest, RegistryOfAFreshInstallation) {
  Registry& registry = machine->registry();
  KeyHandle key = 0;
  ASSERT_EQ(
      registry.OpenKey(hkey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                       key_access::ReadWrite, key),
      win_error::Success);
  ASSERT_EQ(registry.OpenKey(hkey::CurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                             key_access::ReadWrite, key),
            win_error::Success);
  for (const auto& [value, expected] :
       {std::pair{"MigrateProxy", 1u}, {"ProxyEnable", 0u}, {"ProxyHttp1.1", 0u}}) {
    ValueType type = ValueType::None;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(registry.QueryValue(key, value, &type, &data), win_error::Success) << value;
    EXPECT_EQ(type, ValueType::Dword);
    EXPECT_EQ(DwordFromData(data), expected) << value;
  }
  EXPECT_EQ(registry.OpenKey(hkey::CurrentUser, "Software\\KV", key_access::ReadWrite, key),
            win_error::FileNotFound);
  const bool nt = GetParam().platformId == platform_id::Nt;
  EXPECT_EQ(registry.OpenKey(hkey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                             key_access::Read, key) == win_error::Success,
            nt);
}

TEST_P(ProfileTest, OrdinaryProcessesRun) {
  const ProfileCase& c = GetParam();
  const ProcessTable table = machine->simProcesses().Table();
  std::vector<ProcessId> ids;
  for (const auto& process : table.processes)
    ids.push_back(process.id);
  bool explorer = false;
  for (WindowHandle window : machine->processes().TopLevelWindows()) {
    const ProcessId owner = machine->processes().WindowProcess(window);
    for (const auto& process : table.processes)
      if (process.id == owner &&
          machine->codePages().Upper(process.path).find("EXPLORER.EXE") != std::string::npos)
        explorer = true;
  }
  EXPECT_TRUE(explorer);
  std::vector<ProcessEntry> entries;
  const bool ntFour = c.platformId == platform_id::Nt && c.major == 4;
  EXPECT_EQ(machine->processes().Snapshot(entries),
            ntFour ? win_error::CallNotImplemented : win_error::Success);
  EXPECT_EQ(entries.size(), ntFour ? 0u : ids.size());
  std::vector<ProcessId> enumerated;
  if (c.systemProcess == 0) {
    EXPECT_EQ(machine->processes().EnumerateIds(enumerated), win_error::NotSupported);
    return;
  }
  // NT 4.0 ships no psapi.dll of its own; Windows 2000 has one in its system folder.
  EXPECT_EQ(machine->processes().LoadProcessStatus("psapi.dll"),
            ntFour ? win_error::ModNotFound : win_error::Success);
  if (ntFour) {
    EXPECT_EQ(machine->processes().EnumerateIds(enumerated), win_error::ProcNotFound);
    return;
  }
  ASSERT_EQ(machine->processes().EnumerateIds(enumerated), win_error::Success);
  EXPECT_EQ(enumerated, ids);
  ASSERT_GE(ids.size(), 2u);
  EXPECT_EQ(ids[0], 0u);
  EXPECT_EQ(ids[1], c.systemProcess);
}

INSTANTIATE_TEST_SUITE_P(Profiles, ProfileTest, ::testing::ValuesIn(kProfiles),
                         [](const auto& info) { return std::string(info.param.profile); });

TEST(MakeMachine, UnknownProfileIsRefused) {
  testing::TempFolder folder;
  EXPECT_THROW(MakeMachine(folder.path(), "winxp"), Exception);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "machine.ini"));
}

TEST(MakeMachine, MakingAgainReplacesTheMachineButNotOtherFiles) {
  testing::TempFolder folder;
  MakeMachine(folder.path(), "win98");
  std::ofstream(folder.path() / "drives" / "C" / "OLD.TXT") << "old";
  std::ofstream(folder.path() / "notes.txt") << "mine";
  MakeMachine(folder.path(), "nt4");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "drives" / "C" / "OLD.TXT"));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "notes.txt"));
  EXPECT_EQ(SimMachine::Open(folder.path())->config().profile, "nt4");
}

}  // namespace
}  // namespace platform::sim
