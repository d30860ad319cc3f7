#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/exception.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

std::string OpenError(const std::filesystem::path& folder) {
  try {
    SimMachine::Open(folder);
  } catch (const Exception& error) {
    return error.what();
  }
  return "opened";
}

void WriteText(FileSystem& files, std::string_view path, const std::string& text) {
  std::unique_ptr<File> file;
  ASSERT_EQ(files.Open(path, file_access::GenericWrite, file_share::None, Disposition::CreateAlways,
                       file),
            win_error::Success);
  std::uint32_t written = 0;
  ASSERT_EQ(file->WriteAt(0, text.data(), static_cast<std::uint32_t>(text.size()), written), 0u);
}

class SimMachineTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeMachine(folder.path(), "win98"); }
  std::unique_ptr<SimMachine> Open(const std::string& program = "C:\\KVSETUP\\SETUP.EXE") {
    return SimMachine::Open(folder.path(), SimOptions{program, std::nullopt});
  }
  testing::TempFolder folder;
};

TEST_F(SimMachineTest, RegistryChangesSurviveSaveAndReopen) {
  {
    auto machine = Open();
    KeyHandle key = 0;
    ASSERT_EQ(machine->registry().CreateKey(hkey::LocalMachine, "Software\\KV",
                                            key_access::ReadWrite, key),
              win_error::Success);
    machine->registry().SetValue(key, "ProxyPort", ValueType::Dword, DwordData(8080));
    machine->registry().CloseKey(key);
    machine->Save();
    KeyHandle run = 0;
    ASSERT_EQ(machine->registry().OpenKey(hkey::LocalMachine,
                                          "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                          key_access::ReadWrite, run),
              0u);
    machine->registry().SetValue(run, "Qalvint", ValueType::String, StringData("qalvint"));
  }  // the destructor saves too
  auto machine = Open();
  KeyHandle key = 0;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(machine->registry().OpenKey(hkey::LocalMachine, "SOFTWARE\\kv", key_access::Read, key),
            0u);
  ASSERT_EQ(machine->registry().QueryValue(key, "proxyport", nullptr, &data), 0u);
  EXPECT_EQ(DwordFromData(data), 8080u);
  ASSERT_EQ(machine->registry().OpenKey(hkey::LocalMachine,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                        key_access::Read, key),
            0u);
  ASSERT_EQ(machine->registry().QueryValue(key, "Qalvint", nullptr, &data), 0u);
  EXPECT_EQ(StringFromData(data), "qalvint");
}

TEST_F(SimMachineTest, RegistryFlushWritesTheFiles) {
  auto machine = Open();
  KeyHandle key = 0;
  machine->registry().CreateKey(hkey::Users, "Flushed", key_access::ReadWrite, key);
  ASSERT_EQ(machine->registry().Flush(), win_error::Success);
  std::ifstream in(folder.path() / "registry" / "HKEY_USERS.reg");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[HKEY_USERS\\Flushed]\r\n"), std::string::npos);
}

TEST_F(SimMachineTest, TheProgramRunsFromItsFolderForTheLengthOfTheRun) {
  ProcessId id = 0;
  {
    auto machine = Open();
    id = machine->programId();
    EXPECT_NE(id, 0u);
    EXPECT_EQ(machine->program().ModulePath(), "C:\\KVSETUP\\SETUP.EXE");
    EXPECT_EQ(machine->program().CurrentFolder(), "C:\\KVSETUP");
    std::vector<ProcessEntry> entries;
    machine->processes().Snapshot(entries);
    EXPECT_EQ(entries.back().id, id);
    EXPECT_EQ(entries.back().exePath, "C:\\KVSETUP\\SETUP.EXE");
  }
  auto tool = SimMachine::Open(folder.path());
  EXPECT_EQ(tool->programId(), 0u);
  EXPECT_EQ(tool->program().CurrentFolder(), "C:\\");
  std::vector<ProcessEntry> entries;
  tool->processes().Snapshot(entries);
  for (const auto& entry : entries)
    EXPECT_NE(entry.id, id);
}

TEST_F(SimMachineTest, ASecondRunSeesTheFirstRunsSemaphore) {
  const std::string name = "C:+KVSETUP+SETUP.EXE";
  bool existed = true;
  {
    auto first = Open();
    ASSERT_EQ(first->processes().CreateNamedSemaphore(name, 0, 1, existed), 0u);
    EXPECT_FALSE(existed);
    auto second = Open();
    ASSERT_EQ(second->processes().CreateNamedSemaphore(name, 0, 1, existed), 0u);
    EXPECT_TRUE(existed);
  }
  auto third = Open();
  ASSERT_EQ(third->processes().CreateNamedSemaphore(name, 0, 1, existed), 0u);
  EXPECT_FALSE(existed);
}

TEST_F(SimMachineTest, ClockFollowsTheOptionElseMachineIni) {
  EXPECT_FALSE(Open()->clock().IsVirtual());
  auto machine = SimMachine::Open(folder.path(), SimOptions{"", true});
  ASSERT_TRUE(machine->clock().IsVirtual());
  const LocalTime start = machine->clock().Now();
  EXPECT_EQ(start.year, 2001);
  EXPECT_EQ(start.month, 6);
  EXPECT_EQ(start.day, 15);
  machine->clock().Sleep(24 * 60 * 60 * 1000);
  EXPECT_EQ(machine->clock().Now().day, 16);
}

TEST_F(SimMachineTest, AVirtualClockGivesWrittenFilesTheirLastWriteTime) {
  auto machine = SimMachine::Open(folder.path(), SimOptions{"", true});
  FileSystem& files = machine->files();
  const auto lastWrite = [&](std::string_view path) {
    std::vector<FindData> found;
    EXPECT_EQ(files.Find(path, found), win_error::Success);
    return found.empty() ? FileTime{0} : found.front().lastWriteTime;
  };
  WriteText(files, "C:\\WINDOWS\\KVLOG.DAT", "log");
  const FileTime written = machine->clock().NowAsFileTime();
  EXPECT_EQ(lastWrite("C:\\WINDOWS\\KVLOG.DAT"), written);
  EXPECT_EQ(FileTimeToLocal(written).year, 2001);

  machine->clock().Sleep(60 * 60 * 1000);
  std::unique_ptr<File> reader;
  ASSERT_EQ(files.Open("C:\\WINDOWS\\KVLOG.DAT", file_access::GenericRead, file_share::ReadWrite,
                       Disposition::OpenExisting, reader),
            win_error::Success);
  reader.reset();
  EXPECT_EQ(lastWrite("C:\\WINDOWS\\KVLOG.DAT"), written);  // reading changes nothing

  ASSERT_EQ(files.Copy("C:\\WINDOWS\\KVLOG.DAT", "C:\\WINDOWS\\KVLOG.BAK", false), 0u);
  EXPECT_EQ(lastWrite("C:\\WINDOWS\\KVLOG.BAK"), written);  // a copy keeps the source's time
  std::unique_ptr<File> created;
  ASSERT_EQ(files.Open("C:\\WINDOWS\\EMPTY.DAT", file_access::GenericWrite, file_share::None,
                       Disposition::CreateNew, created),
            win_error::Success);
  created.reset();
  EXPECT_EQ(lastWrite("C:\\WINDOWS\\EMPTY.DAT"), machine->clock().NowAsFileTime());
}

TEST_F(SimMachineTest, ProgramContextFoldersAndIniFiles) {
  auto machine = Open();
  ProgramContext& program = machine->program();
  EXPECT_EQ(program.TempFolder(), "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(program.SetCurrentFolder("C:\\NOWHERE"), win_error::FileNotFound);
  ASSERT_EQ(program.SetCurrentFolder("c:\\windows\\system\\"), win_error::Success);
  EXPECT_EQ(program.CurrentFolder(), "C:\\windows\\system");
  ASSERT_EQ(program.SetCurrentFolder("..\\.."), win_error::Success);
  EXPECT_EQ(program.CurrentFolder(), "C:\\");
  WriteText(machine->files(), "C:\\WINDOWS\\xbase.cfg",
            "[Other]\r\nA=1\r\n[Alias]\r\nDATA=C:\\DATA\r\nLOGS = C:\\LOGS\r\n");
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(program.ReadIniSection("xbase.cfg", "alias"),
            (Pairs{{"DATA", "C:\\DATA"}, {"LOGS", "C:\\LOGS"}}));
  EXPECT_EQ(program.ReadIniSection("C:\\WINDOWS\\XBASE.CFG", "Other"), (Pairs{{"A", "1"}}));
  EXPECT_TRUE(program.ReadIniSection("xbase.cfg", "Missing").empty());
  EXPECT_TRUE(program.ReadIniSection("missing.cfg", "Alias").empty());
}

TEST_F(SimMachineTest, ACopyOntoARunningProgramIsASharingViolation) {
  auto machine = Open();
  ASSERT_EQ(machine->files().MakeFolder("C:\\KVSETUP"), win_error::Success);
  WriteText(machine->files(), "C:\\KVSETUP\\QALVINT.EXE", "MZ new");
  WriteText(machine->files(), "C:\\WINDOWS\\SYSTEM\\QALVINT.EXE", "MZ old");
  machine->simProcesses().StartProgram("C:\\WINDOWS\\SYSTEM\\QALVINT.EXE");
  EXPECT_EQ(
      machine->files().Copy("C:\\KVSETUP\\QALVINT.EXE", "c:\\windows\\system\\qalvint.exe", false),
      win_error::SharingViolation);
  for (WindowHandle window : machine->processes().TopLevelWindows())
    machine->processes().Post(window, window_message::Close, 0, 0);
  EXPECT_EQ(
      machine->files().Copy("C:\\KVSETUP\\QALVINT.EXE", "c:\\windows\\system\\qalvint.exe", false),
      win_error::Success);
}

TEST(SimMachineLoader, PsapiIsFoundInTheProgramsFolderBeforeTheSystemFolder) {
  testing::TempFolder folder;
  MakeMachine(folder.path(), "nt4");
  auto machine = SimMachine::Open(folder.path(), SimOptions{"C:\\KVSETUP\\SETUP.EXE", true});
  FileSystem& files = machine->files();
  ASSERT_EQ(files.MakeFolder("C:\\KVSETUP"), win_error::Success);
  Processes& processes = machine->processes();
  EXPECT_EQ(processes.LoadProcessStatus("psapi.dll"), win_error::ModNotFound);
  ASSERT_EQ(files.MakeFolder("C:\\KVSETUP\\psapi.dll"), win_error::Success);  // a folder
  EXPECT_EQ(processes.LoadProcessStatus("psapi.dll"), win_error::ModNotFound);
  ASSERT_EQ(files.RemoveFolder("C:\\KVSETUP\\psapi.dll"), win_error::Success);
  WriteText(files, "C:\\KVSETUP\\PSAPI.DLL", "MZ");
  EXPECT_EQ(processes.LoadProcessStatus("C:\\WINNT\\SYSTEM32\\psapi.dll"), win_error::ModNotFound);
  ASSERT_EQ(processes.LoadProcessStatus("psapi.dll"), win_error::Success);
  std::vector<ProcessId> ids;
  EXPECT_EQ(processes.EnumerateIds(ids), win_error::Success);
  EXPECT_TRUE(std::find(ids.begin(), ids.end(), machine->programId()) != ids.end());
  EXPECT_EQ(processes.CurrentProcessId(), machine->programId());
}

TEST_F(SimMachineTest, SystemFactsComeFromMachineIni) {
  auto machine = Open();
  SystemInfo& system = machine->system();
  std::string host;
  ASSERT_TRUE(system.HostName(host));
  EXPECT_EQ(host, "korvane-pc");
  std::array<std::uint8_t, 4> address{};
  ASSERT_TRUE(system.HostAddress("KORVANE-PC", address));
  EXPECT_EQ(address, (std::array<std::uint8_t, 4>{192, 168, 0, 10}));
  ASSERT_TRUE(system.HostAddress("localhost", address));
  EXPECT_EQ(address[0], 127);
  EXPECT_FALSE(system.HostAddress("www.example.com", address));
  const auto environment = system.Environment();
  EXPECT_NE(std::find(environment.begin(), environment.end(), "windir=C:\\WINDOWS"),
            environment.end());
  EXPECT_EQ(system.ShortDateFormat(), "M/d/yy");
  EXPECT_EQ(system.Screen().bitsPerPixel, 16);
  EXPECT_EQ(system.StartupShowMode(), show_mode::ShowDefault);
  EXPECT_EQ(system.Processor().megahertz, machine->config().processor.megahertz);
}

TEST_F(SimMachineTest, FoldersThatAreNotMachinesAndMalformedFilesAreNamed) {
  testing::TempFolder empty;
  EXPECT_EQ(OpenError(empty.path()),
            empty.path().string() + " is not a simulated machine: it has no machine.ini");
  const auto regFile = folder.path() / "registry" / "HKEY_CURRENT_USER.reg";
  std::ofstream(regFile, std::ios::trunc) << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n\"x\"=y\r\n";
  EXPECT_EQ(OpenError(folder.path()), regFile.string() + ", line 4: unknown value data \"y\"");
  std::ofstream(regFile, std::ios::trunc) << "REGEDIT4\r\n";
  std::ofstream(folder.path() / "processes.ini", std::ios::app) << "[Process 9]\r\n";
  const std::string processError = OpenError(folder.path());
  EXPECT_EQ(processError.rfind((folder.path() / "processes.ini").string() + ", line ", 0), 0u);
  EXPECT_NE(processError.find(": [Process 9] has no Path"), std::string::npos);
  std::filesystem::remove(folder.path() / "processes.ini");
  const auto iniFile = folder.path() / "machine.ini";
  std::ifstream in(iniFile);
  std::string ini((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  ini.replace(ini.find("AnsiCodePage=1252"), 17, "AnsiCodePage=1251");
  std::ofstream(iniFile, std::ios::trunc) << ini;
  EXPECT_EQ(OpenError(folder.path()),
            iniFile.string() + ": code page 1251 is not supported (known: 1252, 437, 850)");
}

}  // namespace
}  // namespace platform::sim
