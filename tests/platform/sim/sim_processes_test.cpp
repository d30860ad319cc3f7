#include <gtest/gtest.h>

#include <fstream>

#include "platform/code_pages.hpp"
#include "platform/exception.hpp"
#include "platform/sim/process_table.hpp"
#include "platform/sim/sim_processes.hpp"
#include "platform/virtual_clock.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

constexpr std::uint32_t kQuery = process_access::QueryInformation | process_access::VmRead;

constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kAll = process_access::AllAccess;

SimProcess Process(ProcessId id, std::string path, std::string module, std::uint32_t access,
                   std::vector<SimWindow> windows = {}) {
  SimProcess process;
  process.id = id;
  process.path = std::move(path);
  process.hasModule = !module.empty();
  process.moduleName = std::move(module);
  process.access = access;
  process.windows = std::move(windows);
  return process;
}

VersionRecord Version(std::uint32_t platformId, std::uint32_t major) {
  VersionRecord version;
  version.platformId = platformId;
  version.major = major;
  return version;
}

class SimProcessesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ProcessTable table;
    table.processes = {
        Process(0, "[System Process]", "", kNone),
        Process(8, "System", "", kAll),
        Process(0xA4, "C:\\WINNT\\SYSTEM32\\csrss.exe", "csrss.exe", kNone),
        Process(0x1A8, "C:\\WINNT\\Explorer.EXE", "Explorer.EXE", kAll,
                {{0x10014, "Program Manager", false}}),
        Process(0x200, "C:\\WINNT\\SYSTEM32\\QALVINT.EXE", "QALVINT.EXE", kAll,
                {{0x10100, "Korvane", true}, {0x10104, "Korvane tray", true}}),
    };
    WriteTable(table);
  }

  void WriteTable(const ProcessTable& table) {
    std::ofstream(folder.path() / "processes.ini", std::ios::trunc) << WriteProcessesIni(table);
  }

  // A machine of Windows 2000 (or 98) whose psapi is loaded.
  std::unique_ptr<SimProcesses> Make(bool ntFamily = true) {
    auto processes =
        MakeUnloaded(ntFamily ? Version(platform_id::Nt, 5) : Version(platform_id::Windows, 4));
    processes->LoadProcessStatus("psapi.dll");
    return processes;
  }

  std::unique_ptr<SimProcesses> MakeUnloaded(const VersionRecord& version) {
    auto processes = std::make_unique<SimProcesses>(folder.path(), version, casing, clock);
    processes->UseLibraryFinder([](std::string_view name) -> std::optional<std::string> {
      if (name == "psapi.dll") return "C:\\KVSETUP\\psapi.dll";
      return std::nullopt;
    });
    return processes;
  }

  testing::TempFolder folder;
  TableCodePages casing{1252, 437};
  std::shared_ptr<VirtualClock> clock =
      std::make_shared<VirtualClock>(LocalTime{2001, 3, 1, 1, 9, 0, 0, 0}, 500);
};

TEST_F(SimProcessesTest, NamesOfProcessesAsPsapiGivesThem) {
  auto processes = Make();
  std::vector<ProcessId> ids;
  ASSERT_EQ(processes->EnumerateIds(ids), win_error::Success);
  EXPECT_EQ(ids, (std::vector<ProcessId>{0, 8, 0xA4, 0x1A8, 0x200}));
  ProcessHandle handle = 0;
  EXPECT_EQ(processes->OpenProcess(0, kQuery, handle), win_error::InvalidParameter);
  EXPECT_EQ(processes->OpenProcess(0xA4, kQuery, handle), win_error::AccessDenied);
  EXPECT_EQ(processes->OpenProcess(0x999, kQuery, handle), win_error::InvalidParameter);
  std::string name = "x";
  ASSERT_EQ(processes->OpenProcess(8, kQuery, handle), win_error::Success);
  ASSERT_EQ(processes->ModuleBaseName(handle, name), win_error::Success);
  EXPECT_EQ(name, "");  // no main module: the caller names it "System"
  ASSERT_EQ(processes->OpenProcess(0x1A8, kQuery, handle), win_error::Success);
  ASSERT_EQ(processes->ModuleBaseName(handle, name), win_error::Success);
  EXPECT_EQ(name, "Explorer.EXE");
  EXPECT_EQ(processes->CloseProcess(handle), win_error::Success);
  EXPECT_EQ(processes->ModuleBaseName(handle, name), win_error::InvalidHandle);
  ASSERT_EQ(processes->OpenProcess(0x1A8, process_access::Terminate, handle), 0u);
  EXPECT_EQ(processes->ModuleBaseName(handle, name), win_error::AccessDenied);
}

TEST_F(SimProcessesTest, TheNinetyFiveFamilyHasNoPsapiButASnapshotWithPaths) {
  auto processes = Make(false);
  std::vector<ProcessId> ids;
  EXPECT_EQ(processes->EnumerateIds(ids), win_error::NotSupported);
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(processes->Snapshot(entries), win_error::Success);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[4].exePath, "C:\\WINNT\\SYSTEM32\\QALVINT.EXE");
  auto nt = Make(true);
  ASSERT_EQ(nt->Snapshot(entries), win_error::Success);
  EXPECT_EQ(entries[4].exePath, "QALVINT.EXE");
}

TEST_F(SimProcessesTest, TerminateNeedsTheRightAndRemovesProcessAndWindows) {
  auto processes = Make();
  ProcessHandle handle = 0;
  ASSERT_EQ(processes->OpenProcess(0x200, kQuery, handle), 0u);
  EXPECT_EQ(processes->Terminate(handle, 0), win_error::AccessDenied);
  ASSERT_EQ(processes->OpenProcess(0x200, process_access::Terminate, handle), 0u);
  ASSERT_EQ(processes->Terminate(handle, 0), win_error::Success);
  EXPECT_EQ(processes->Terminate(handle, 0), win_error::AccessDenied);  // already ended
  EXPECT_EQ(processes->TopLevelWindows(), (std::vector<WindowHandle>{0x10014}));
  EXPECT_EQ(processes->WindowProcess(0x10100), 0u);
  // Another view of the machine sees the change.
  std::vector<ProcessId> ids;
  Make()->EnumerateIds(ids);
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_FALSE(processes->IsRunningExecutable("c:\\winnt\\system32\\qalvint.exe"));
}

TEST_F(SimProcessesTest, CloseRequestsCloseHonouringWindowsAndTheLastOneEndsTheProcess) {
  auto processes = Make(false);
  EXPECT_EQ(processes->WindowProcess(0x10104), 0x200u);
  EXPECT_TRUE(processes->IsRunningExecutable("c:\\WINNT\\system32\\qalvint.EXE"));
  EXPECT_EQ(processes->Post(0x10014, window_message::SysCommand, window_message::ScClose, 0), 0u);
  EXPECT_EQ(processes->Post(0x10100, window_message::SysCommand, 0, 0), 0u);  // not a close
  EXPECT_EQ(processes->TopLevelWindows().size(), 3u);
  ASSERT_EQ(processes->Post(0x10100, window_message::SysCommand, window_message::ScClose, 0), 0u);
  EXPECT_EQ(processes->WindowProcess(0x10104), 0x200u);
  ASSERT_EQ(processes->Post(0x10104, window_message::Close, 0, 0), 0u);
  EXPECT_EQ(processes->WindowProcess(0x10104), 0u);
  EXPECT_FALSE(processes->IsRunningExecutable("C:\\WINNT\\SYSTEM32\\QALVINT.EXE"));
  EXPECT_EQ(processes->TopLevelWindows(), (std::vector<WindowHandle>{0x10014}));  // refused
  EXPECT_EQ(processes->Post(0x10104, window_message::Close, 0, 0), win_error::InvalidWindowHandle);
}

TEST_F(SimProcessesTest, OpenProcessGrantsOnlyTheRightsAProcessAllows) {
  ProcessTable table;
  table.processes = {Process(0x300, "C:\\A.EXE", "A.EXE", kQuery)};
  WriteTable(table);
  auto processes = Make();
  ProcessHandle handle = 0;
  EXPECT_EQ(processes->OpenProcess(0x300, kQuery, handle), win_error::Success);
  EXPECT_EQ(processes->OpenProcess(0x300, process_access::Terminate, handle),
            win_error::AccessDenied);
  EXPECT_EQ(processes->OpenProcess(0x300, kQuery | process_access::Terminate, handle),
            win_error::AccessDenied);
}

TEST_F(SimProcessesTest, PsapiAnswersOnlyOnceLoadedAndNtFourHasNoToolhelp) {
  auto nt4 = MakeUnloaded(Version(platform_id::Nt, 4));
  std::vector<ProcessId> ids;
  EXPECT_EQ(nt4->EnumerateIds(ids), win_error::ProcNotFound);
  ProcessHandle handle = 0;
  ASSERT_EQ(nt4->OpenProcess(0x200, kQuery, handle), win_error::Success);
  std::string name;
  EXPECT_EQ(nt4->ModuleBaseName(handle, name), win_error::ProcNotFound);
  EXPECT_EQ(nt4->LoadProcessStatus("C:\\WINNT\\SYSTEM32\\psapi.dll"), win_error::ModNotFound);
  ASSERT_EQ(nt4->LoadProcessStatus("psapi.dll"), win_error::Success);
  EXPECT_EQ(nt4->EnumerateIds(ids), win_error::Success);
  EXPECT_EQ(ids.size(), 5u);
  EXPECT_EQ(nt4->ModuleBaseName(handle, name), win_error::Success);
  EXPECT_EQ(name, "QALVINT.EXE");
  std::vector<ProcessEntry> entries;
  EXPECT_EQ(nt4->Snapshot(entries), win_error::CallNotImplemented);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(Make()->Snapshot(entries), win_error::Success);
  EXPECT_EQ(entries.size(), 5u);
}

TEST_F(SimProcessesTest, AProcessThatTakesAMomentToExitIsWaitedForOnTheMachineClock) {
  ProcessTable table;
  table.processes = {Process(0x300, "C:\\SLOW.EXE", "SLOW.EXE", kAll)};
  table.processes[0].exitDelay = 1500;
  WriteTable(table);
  auto processes = Make();
  ProcessHandle handle = 0;
  ASSERT_EQ(processes->OpenProcess(0x300, kAll, handle), win_error::Success);
  ASSERT_EQ(processes->Terminate(handle, 0), win_error::Success);
  EXPECT_EQ(processes->Terminate(handle, 0), win_error::AccessDenied);  // already ending
  EXPECT_TRUE(processes->IsRunningExecutable("C:\\SLOW.EXE"));
  const std::uint64_t start = clock->Elapsed();
  EXPECT_EQ(processes->WaitForExit(handle, 1000), win_error::WaitTimeout);
  EXPECT_EQ(clock->Elapsed() - start, 1000u);
  EXPECT_TRUE(Make()->IsRunningExecutable("C:\\SLOW.EXE"));  // other views see it exiting
  EXPECT_EQ(processes->WaitForExit(handle, 1000), win_error::Success);
  EXPECT_EQ(clock->Elapsed() - start, 1500u);
  EXPECT_FALSE(processes->IsRunningExecutable("C:\\SLOW.EXE"));
  EXPECT_EQ(processes->WaitForExit(handle, 0), win_error::Success);
}

TEST_F(SimProcessesTest, AProcessThatNeverExitsTimesTheWaitOut) {
  ProcessTable table;
  table.processes = {Process(0x300, "C:\\HUNG.EXE", "HUNG.EXE", kAll, {{0x10200, "Hung", true}})};
  table.processes[0].exitDelay = SimProcess::kNeverExits;
  WriteTable(table);
  auto processes = Make(false);
  ASSERT_EQ(processes->Post(0x10200, window_message::Close, 0, 0), win_error::Success);
  ProcessHandle handle = 0;
  ASSERT_EQ(processes->OpenProcess(0x300, process_access::Synchronize, handle), 0u);
  const std::uint64_t start = clock->Elapsed();
  EXPECT_EQ(processes->WaitForExit(handle, 5000), win_error::WaitTimeout);
  EXPECT_EQ(clock->Elapsed() - start, 5000u);
  const ProcessTable after = processes->Table();
  ASSERT_EQ(after.processes.size(), 1u);
  EXPECT_TRUE(after.processes[0].Exiting());
}

TEST_F(SimProcessesTest, WaitingNeedsTheSynchronizeRightAndAnOpenHandle) {
  auto processes = Make();
  ProcessHandle handle = 0;
  ASSERT_EQ(processes->OpenProcess(0x200, kQuery, handle), 0u);
  EXPECT_EQ(processes->WaitForExit(handle, 10), win_error::AccessDenied);
  EXPECT_EQ(processes->WaitForExit(0x9999, 10), win_error::InvalidHandle);
  ASSERT_EQ(processes->OpenProcess(0x200, process_access::Synchronize, handle), 0u);
  const std::uint64_t start = clock->Elapsed();
  EXPECT_EQ(processes->WaitForExit(handle, 120), win_error::WaitTimeout);  // still running
  EXPECT_EQ(clock->Elapsed() - start, 120u);
}

TEST_F(SimProcessesTest, TheRunningProgramKnowsItsOwnId) {
  auto processes = Make();
  EXPECT_EQ(processes->CurrentProcessId(), 0u);  // a tool looking at the machine
  const ProcessId id = processes->BeginRun("C:\\KVSETUP\\SETUP.EXE");
  EXPECT_EQ(processes->CurrentProcessId(), id);
}

// A handle stands for the process it opened: once that one has gone, a program given the same
// id later is a stranger to it.
TEST_F(SimProcessesTest, AHandleNeverReachesALaterProcessWithTheSameId) {
  auto processes = Make();
  ProcessHandle handle = 0;
  ASSERT_EQ(processes->OpenProcess(0x200, kAll, handle), 0u);
  ProcessHandle ending = 0;
  ASSERT_EQ(processes->OpenProcess(0x200, kAll, ending), 0u);
  ASSERT_EQ(processes->Terminate(ending, 0), win_error::Success);
  // The id is free again, and Windows gives it out anew.
  processes->Add(Process(0x200, "C:\\WINNT\\NOTEPAD.EXE", "NOTEPAD.EXE", kAll));
  std::string name;
  EXPECT_EQ(processes->ModuleBaseName(handle, name), win_error::InvalidHandle);
  EXPECT_EQ(processes->WaitForExit(handle, 1000), win_error::Success);
  EXPECT_EQ(processes->Terminate(handle, 0), win_error::AccessDenied);
  EXPECT_TRUE(processes->IsRunningExecutable("C:\\WINNT\\NOTEPAD.EXE"));
}

TEST_F(SimProcessesTest, RegisteredMessagesAndBroadcast) {
  auto processes = Make();
  const std::uint32_t message = processes->RegisterMessage("C:\\KVSETUP\\SETUP.EXE_Afslut");
  EXPECT_GE(message, 0xC000u);
  EXPECT_EQ(Make()->RegisterMessage("c:\\kvsetup\\setup.exe_afslut"), message);
  EXPECT_EQ(processes->RegisterMessage("Other"), message + 1);
  EXPECT_EQ(processes->RegisterMessage(""), 0u);
  EXPECT_EQ(processes->Broadcast(message), 3u);
  EXPECT_EQ(processes->Broadcast(window_message::Close), 3u);
  EXPECT_EQ(processes->TopLevelWindows(), (std::vector<WindowHandle>{0x10014}));
}

TEST_F(SimProcessesTest, SemaphoresLiveAsLongAsTheRunThatMadeThem) {
  bool existed = true;
  {
    auto first = Make();
    const ProcessId id = first->BeginRun("C:\\KVSETUP\\SETUP.EXE");
    EXPECT_GT(id, 0x200u);
    ASSERT_EQ(first->CreateNamedSemaphore("C:+KVSETUP+SETUP.EXE", 0, 1, existed), 0u);
    EXPECT_FALSE(existed);
    auto second = Make();
    ASSERT_EQ(second->CreateNamedSemaphore("C:+KVSETUP+SETUP.EXE", 0, 1, existed), 0u);
    EXPECT_TRUE(existed);
    ASSERT_EQ(second->CreateNamedSemaphore("c:+kvsetup+setup.exe", 0, 1, existed), 0u);
    EXPECT_FALSE(existed);  // kernel object names keep their case
    EXPECT_TRUE(second->IsRunningExecutable("C:\\KVSETUP\\SETUP.EXE"));
  }
  auto later = Make();
  ASSERT_EQ(later->CreateNamedSemaphore("C:+KVSETUP+SETUP.EXE", 0, 1, existed), 0u);
  EXPECT_FALSE(existed);
  EXPECT_FALSE(later->IsRunningExecutable("C:\\KVSETUP\\SETUP.EXE"));
  EXPECT_EQ(later->CreateNamedSemaphore("a\\b", 0, 1, existed), win_error::BadPathname);
  EXPECT_EQ(later->CreateNamedSemaphore("n", 2, 1, existed), win_error::InvalidParameter);
}

TEST_F(SimProcessesTest, EntriesOfHostProcessesThatAreGoneDisappear) {
  ProcessTable table = ParseProcessesIni(
      "[Process 300]\nPath=C:\\OLD.EXE\nHostProcess=2147483000\n[Process 304]\nPath=C:\\KEEP.EXE\n",
      "processes.ini");
  std::ofstream(folder.path() / "processes.ini", std::ios::trunc) << WriteProcessesIni(table);
  std::vector<ProcessId> ids;
  Make()->EnumerateIds(ids);
  EXPECT_EQ(ids, std::vector<ProcessId>{304});
}

TEST_F(SimProcessesTest, StartedProgramsGetAWindowAndCanBeClosed) {
  auto processes = Make(false);
  const ProcessId id = processes->StartProgram("C:\\WINNT\\SYSTEM32\\qalvint.exe");
  std::vector<ProcessEntry> entries;
  processes->Snapshot(entries);
  EXPECT_EQ(entries.back().id, id);
  EXPECT_EQ(entries.back().exePath, "C:\\WINNT\\SYSTEM32\\qalvint.exe");
  const WindowHandle window = processes->TopLevelWindows().back();
  EXPECT_EQ(processes->WindowProcess(window), id);
  processes->Post(window, window_message::Close, 0, 0);
  processes->Snapshot(entries);
  EXPECT_NE(entries.back().id, id);
}

TEST(ProcessTable, MalformedFilesNameTheLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"[Process x]\nPath=a\n", "p.ini, line 1: a number expected"},
      {"[Process 4]\nModuleName=a\n", "p.ini, line 1: [Process 4] has no Path"},
      {"[Process 4]\nPath=a\nWindow1=0x10,maybe,T\n", "p.ini, line 3: yes or no expected"},
      {"[Process 4]\nPath=a\nWindow1=0x10\n", "p.ini, line 3: \"Window1\" needs 3 fields"},
      {"[Process 4]\nPath=a\n[Process 4]\nPath=b\n", "p.ini, line 3: process 4 appears twice"},
      {"[Process 4]\nPath=a\nColour=red\n", "p.ini, line 3: unknown entry \"Colour\""},
      {"[Threads]\n", "p.ini, line 1: unknown section [Threads]"},
      {"[Process 4]\nPath=a\nAccess=all\n", "p.ini, line 3: a number expected"},
      {"[Process 4]\nPath=a\nExitDelay=soon\n", "p.ini, line 3: a number expected"},
      {"[Process 4]\nPath=a\nExitsAt=-1\n", "p.ini, line 3: a FILETIME number expected"},
  };
  for (const auto& c : cases) {
    try {
      ParseProcessesIni(c.text, "p.ini");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
  }
}

TEST(ProcessTable, ModuleNameDefaultsToTheFileNameAndEmptyMeansNone) {
  const ProcessTable table = ParseProcessesIni(
      "[Process 4]\nPath=C:\\A\\B.EXE\n[Process 8]\nPath=System\nModuleName=\n", "p.ini");
  EXPECT_EQ(table.processes[0].moduleName, "B.EXE");
  EXPECT_TRUE(table.processes[0].hasModule);
  EXPECT_FALSE(table.processes[1].hasModule);
  EXPECT_EQ(ParseProcessesIni(WriteProcessesIni(table), "p.ini").processes[1].hasModule, false);
}

TEST(ProcessTable, OlderFilesSayCanOpenAndExitTimesRoundTrip) {
  const ProcessTable table = ParseProcessesIni(
      "[Process 4]\nPath=A\nCanOpen=no\n[Process 8]\nPath=B\nCanOpen=yes\n"
      "[Process 12]\nPath=C\nAccess=0x410\nExitDelay=never\nExitsAt=126000000000000000\n"
      "[Process 16]\nPath=D\nExitDelay=2000\n",
      "p.ini");
  EXPECT_EQ(table.processes[0].access, 0u);
  EXPECT_EQ(table.processes[1].access, process_access::AllAccess);
  EXPECT_EQ(table.processes[3].exitDelay, 2000u);
  const ProcessTable again = ParseProcessesIni(WriteProcessesIni(table), "p.ini");
  ASSERT_EQ(again.processes.size(), 4u);
  EXPECT_EQ(again.processes[0].access, 0u);
  EXPECT_EQ(again.processes[2].access, kQuery);
  EXPECT_EQ(again.processes[2].exitDelay, SimProcess::kNeverExits);
  EXPECT_EQ(again.processes[2].exitsAt, FileTime{126000000000000000});
  EXPECT_EQ(again.processes[3].exitDelay, 2000u);
  EXPECT_FALSE(again.processes[3].Exiting());
}

}  // namespace
}  // namespace platform::sim
