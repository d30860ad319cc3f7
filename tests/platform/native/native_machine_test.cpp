// The services of the native machine besides its files.
#include "platform/native/native_machine.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "platform/native/shell_link_format.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform {
namespace {

using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;
namespace fs = std::filesystem;

// Runs a test inside a fresh folder with $WINDIR set as given (or unset), restoring both.
class NativeMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder_ = fs::current_path();
    if (const char* windir = std::getenv("WINDIR")) previousWindir_ = windir;
    unsetenv("WINDIR");
    fs::current_path(folder_.path());
  }
  void TearDown() override {
    fs::current_path(previousFolder_);
    if (previousWindir_) {
      setenv("WINDIR", previousWindir_->c_str(), 1);
    } else {
      unsetenv("WINDIR");
    }
  }

  TempFolder folder_;
  fs::path previousFolder_;
  std::optional<std::string> previousWindir_;
};

TEST_F(NativeMachineTest, WindowsFolderIsTheStartFolderOrWindir) {
  NativeMachine machine;
  EXPECT_EQ(machine.program().WindowsFolder(), folder_.path().string());
  EXPECT_EQ(machine.program().SystemFolder(), folder_.path().string());
  EXPECT_EQ(machine.program().CurrentFolder(), folder_.path().string());
  setenv("WINDIR", "/opt/windows", 1);
  NativeMachine withWindir;
  EXPECT_EQ(withWindir.program().WindowsFolder(), "/opt/windows");
}

TEST_F(NativeMachineTest, IniFileWithoutAFolderIsReadFromTheWindowsFolder) {
  WriteHostFile(folder_ / "XBASE.CFG", "[Alias]\nDATA=/srv/data\n");
  NativeMachine machine;
  fs::create_directory(folder_.path() / "elsewhere");
  fs::current_path(folder_.path() / "elsewhere");
  const auto entries = machine.program().ReadIniSection("xbase.cfg", "alias");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].first, "DATA");
  EXPECT_EQ(entries[0].second, "/srv/data");
  EXPECT_TRUE(machine.program().ReadIniSection("none.cfg", "Alias").empty());
  EXPECT_EQ(machine.program().ReadIniSection(folder_ / "Xbase.cfg", "ALIAS"), entries);
}

TEST_F(NativeMachineTest, CurrentFolderChangesWithoutRegardToCase) {
  fs::create_directories(folder_.path() / "Data/Tables");
  WriteHostFile(folder_ / "kvus.dat", "");
  NativeMachine machine;
  ProgramContext& program = machine.program();
  ASSERT_EQ(program.SetCurrentFolder("DATA/TABLES"), win_error::Success);
  EXPECT_EQ(program.CurrentFolder(), (folder_.path() / "Data/Tables").string());
  EXPECT_EQ(program.SetCurrentFolder(folder_ / "none"), win_error::FileNotFound);
  EXPECT_EQ(program.SetCurrentFolder(folder_ / "none/deeper"), win_error::PathNotFound);
  EXPECT_EQ(program.SetCurrentFolder(folder_ / "KVUS.DAT"), win_error::PathNotFound);
  EXPECT_EQ(program.CurrentFolder(), (folder_.path() / "Data/Tables").string());
}

TEST_F(NativeMachineTest, ProgramKnowsItsOwnPathAndTheTempFolder) {
  NativeMachine machine;
  EXPECT_EQ(fs::path(machine.program().ModulePath()).filename(), "platform_native_tests");
  const std::string temp = machine.program().TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '/');
}

TEST_F(NativeMachineTest, ProcessTableIsEmpty) {
  NativeMachine machine;
  Processes& processes = machine.processes();
  std::vector<ProcessId> ids{1, 2};
  EXPECT_EQ(processes.EnumerateIds(ids), win_error::Success);
  EXPECT_TRUE(ids.empty());
  std::vector<ProcessEntry> entries(3);
  EXPECT_EQ(processes.Snapshot(entries), win_error::Success);
  EXPECT_TRUE(entries.empty());
  ProcessHandle handle = 7;
  EXPECT_EQ(processes.OpenProcess(getpid(), process_access::Terminate, handle),
            win_error::InvalidParameter);
  EXPECT_EQ(processes.Terminate(handle, 0), win_error::InvalidHandle);
  std::string name = "x";
  EXPECT_EQ(processes.ModuleBaseName(handle, name), win_error::InvalidHandle);
  EXPECT_TRUE(processes.TopLevelWindows().empty());
  EXPECT_EQ(processes.Post(1, window_message::Close, 0, 0), win_error::InvalidWindowHandle);
  EXPECT_EQ(processes.Broadcast(window_message::Close), 0u);
}

TEST_F(NativeMachineTest, MessagesAndSemaphoresAreKeptByName) {
  NativeMachine machine;
  Processes& processes = machine.processes();
  const std::uint32_t first = processes.RegisterMessage("KorvaneShowApp");
  EXPECT_GE(first, 0xC000u);
  EXPECT_LE(first, 0xFFFFu);
  EXPECT_EQ(processes.RegisterMessage("KORVANESHOWAPP"), first);
  EXPECT_NE(processes.RegisterMessage("Other"), first);
  bool existed = true;
  ASSERT_EQ(processes.CreateNamedSemaphore("KorvaneSetup", 0, 1, existed), win_error::Success);
  EXPECT_FALSE(existed);
  ASSERT_EQ(processes.CreateNamedSemaphore("KorvaneSetup", 0, 1, existed), win_error::Success);
  EXPECT_TRUE(existed);
  EXPECT_EQ(processes.CreateNamedSemaphore("Bad", 2, 1, existed), win_error::InvalidParameter);
}

TEST_F(NativeMachineTest, ShellWritesLinksButStartsNothing) {
  NativeMachine machine;
  ShellLinkData link;
  link.path = "OsUninstall.exe";
  link.arguments = "C:\\WINDOWS\\SYSTEM\\OsUninstall.exe";
  link.workingFolder = "C:\\WINDOWS\\SYSTEM";
  ASSERT_EQ(machine.shell().SaveLink(link, folder_ / "OsUninstall.lnk"), win_error::Success);
  const std::vector<std::uint8_t> expected = ShellLinkBytes(link);
  EXPECT_EQ(ReadHostFile(folder_ / "OsUninstall.lnk"),
            std::string(expected.begin(), expected.end()));
  EXPECT_EQ(machine.shell().SaveLink(link, folder_ / "none/OsUninstall.lnk"),
            win_error::PathNotFound);
  link.description.assign(70000, 'd');
  EXPECT_EQ(machine.shell().SaveLink(link, folder_ / "Long.lnk"), win_error::InvalidParameter);
  EXPECT_FALSE(fs::exists(folder_.path() / "Long.lnk"));
  EXPECT_EQ(
      machine.shell().Execute("qalvint.exe", "", folder_.path().string(), show_mode::ShowDefault),
      win_error::NotSupported);
}

TEST_F(NativeMachineTest, SystemFactsComeFromTheHostOrAreFixed) {
  NativeMachine machine;
  SystemInfo& system = machine.system();
  EXPECT_EQ(system.ShortDateFormat(), "M/d/yy");
  EXPECT_EQ(system.DecimalSeparator(), '.');
  EXPECT_EQ(system.AnsiCodePage(), 1252u);
  EXPECT_EQ(system.OemCodePage(), 437u);
  EXPECT_EQ(system.Version().platformId, platform_id::Nt);
  std::string host;
  ASSERT_TRUE(system.HostName(host));
  const std::string computer = system.ComputerName();
  EXPECT_FALSE(computer.empty());
  EXPECT_LE(computer.size(), 15u);
  EXPECT_EQ(computer.find_first_of("abcdefghijklmnopqrstuvwxyz."), std::string::npos);
  EXPECT_FALSE(system.UserName().empty());
  std::array<std::uint8_t, 4> address{};
  ASSERT_TRUE(system.HostAddress("LocalHost", address));
  EXPECT_EQ(address, (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
  ASSERT_TRUE(system.HostAddress("10.1.2.3", address));
  EXPECT_EQ(address, (std::array<std::uint8_t, 4>{10, 1, 2, 3}));
  EXPECT_FALSE(system.HostAddress("no-such-host.invalid", address));
  setenv("KORVANE_NATIVE_TEST", "1", 1);
  const auto environment = system.Environment();
  EXPECT_NE(std::find(environment.begin(), environment.end(), "KORVANE_NATIVE_TEST=1"),
            environment.end());
  unsetenv("KORVANE_NATIVE_TEST");
}

TEST_F(NativeMachineTest, RegistryStartsEmptyAndKeepsWhatIsWritten) {
  NativeMachine machine;
  Registry& registry = machine.registry();
  KeyHandle key = 0;
  EXPECT_EQ(registry.OpenKey(hkey::LocalMachine, "Software\\KV", key_access::ReadWrite, key),
            win_error::FileNotFound);
  ASSERT_EQ(registry.CreateKey(hkey::LocalMachine, "Software\\KV", key_access::ReadWrite, key),
            win_error::Success);
  ASSERT_EQ(registry.SetValue(key, "ProxyPort", ValueType::Dword, DwordData(6711)),
            win_error::Success);
  std::vector<std::uint8_t> data;
  ASSERT_EQ(registry.QueryValue(key, "proxyport", nullptr, &data), win_error::Success);
  EXPECT_EQ(DwordFromData(data), 6711u);
  EXPECT_EQ(registry.CloseKey(key), win_error::Success);
}

TEST_F(NativeMachineTest, CodePagesAndClockAreUsable) {
  NativeMachine machine;
  EXPECT_EQ(machine.codePages().Upper("kv\xE9"), "KV\xC9");
  EXPECT_FALSE(machine.clock().IsVirtual());
  const FileTime now = machine.clock().NowAsFileTime();
  EXPECT_GT(now, 130000000000000000ull);  // after 2012
}

}  // namespace
}  // namespace platform
