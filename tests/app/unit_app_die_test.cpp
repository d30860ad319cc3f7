// Stopping running copies of the product's programs, on simulated machines of every profile.
#include "app/unit_app_die.hpp"

#include <fstream>

#include "platform/sim/process_table.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

using platform::ProcessId;
using platform::process_access::AllAccess;
using platform::sim::SimProcess;

constexpr std::uint32_t kReadOnly =
    platform::process_access::QueryInformation | platform::process_access::VmRead;

class StopProgramsTest : public SimMachineTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override { MakeMachine(GetParam()); }

  // A running program with one window that honours close requests unless told otherwise.
  ProcessId Start(const std::string& path, std::uint32_t access = AllAccess,
                  std::uint32_t exitDelay = 0, bool honoursClose = true) {
    SimProcess process;
    process.path = path;
    process.moduleName = path.substr(path.rfind('\\') + 1);
    process.access = access;
    process.exitDelay = exitDelay;
    process.windows.push_back({0, "Korvane", honoursClose});
    return Machine().simProcesses().Add(std::move(process));
  }

  bool IsRunning(ProcessId id) {
    for (const auto& process : Machine().simProcesses().Table().processes)
      if (process.id == id) return true;
    return false;
  }

  std::uint64_t Now() { return Machine().clock().NowAsFileTime() / 10000; }

  // The route the installer takes on this machine's Windows family.
  void Stop(std::string_view name, app::ProgramStopReport& report) {
    if (SystemDir().find("SYSTEM32") != std::string::npos)
      app::KillProcessByName(name, report);
    else
      app::CloseWindowsOfExe(name, report);
  }

  std::string System(std::string_view name) { return SystemDir() + "\\" + std::string(name); }
};

class NtStopTest : public StopProgramsTest {};
class NinetyFiveStopTest : public StopProgramsTest {};

TEST_P(StopProgramsTest, EveryCopyWithExactlyThatNameIsStoppedAndNothingElse) {
  const ProcessId first = Start(System("QALVINT.EXE"));
  const ProcessId second = Start("C:\\KVSETUP\\qalvint.exe");  // a lower-case path too
  const ProcessId longer = Start(System("XQALVINT.EXE"));
  const ProcessId inFolder = Start("C:\\QALVINT.EXE\\OTHER.EXE");
  app::ProgramStopReport report;
  Stop("QALVINT.EXE", report);
  EXPECT_FALSE(IsRunning(first));
  EXPECT_FALSE(IsRunning(second));
  EXPECT_TRUE(IsRunning(longer));
  EXPECT_TRUE(IsRunning(inFolder));
  ASSERT_EQ(report.stopped.size(), 2u);
  EXPECT_EQ(report.stopped[0].program, "QALVINT.EXE");
  EXPECT_EQ(report.stopped[0].id, first);
  EXPECT_EQ(report.stopped[1].program, "qalvint.exe");
  EXPECT_TRUE(report.ProblemLines().empty());
  EXPECT_EQ(report.Lines()[0], "Stopped: QALVINT.EXE (process " + std::to_string(first) + ")");
}

TEST_P(StopProgramsTest, AnEmptyNameOrNoMatchDoesNothingAndTakesNoTime) {
  const ProcessId filter = Start(System("QALVINT.EXE"));
  const std::uint64_t before = Now();
  app::ProgramStopReport report;
  Stop("", report);
  Stop("DORSK6.EXE", report);
  EXPECT_TRUE(IsRunning(filter));
  EXPECT_TRUE(report.Lines().empty());
  EXPECT_LT(Now() - before, 50u);
}

TEST_P(StopProgramsTest, AProgramThatTakesAWhileIsWaitedFor) {
  const ProcessId slow = Start(System("QALVINT.EXE"), AllAccess, 2000);
  app::ProgramStopReport report;
  Stop("QALVINT.EXE", report);
  EXPECT_FALSE(IsRunning(slow));
  ASSERT_EQ(report.stopped.size(), 1u);
  WriteFile(System("QALVINT.EXE"), "replaced");  // its file is free again
}

TEST_P(StopProgramsTest, AProgramThatNeverEndsIsReportedAfterABoundedWait) {
  const ProcessId hung = Start(System("QALVINT.EXE"), AllAccess, SimProcess::kNeverExits);
  const ProcessId slow = Start("C:\\KVSETUP\\QALVINT.EXE", AllAccess, 1000);
  const std::uint64_t before = Now();
  app::ProgramStopReport report;
  Stop("QALVINT.EXE", report);
  EXPECT_TRUE(IsRunning(hung));
  EXPECT_FALSE(IsRunning(slow));
  const std::uint64_t waited = Now() - before;
  EXPECT_GE(waited, app::kStopWaitMilliseconds);
  EXPECT_LT(waited, app::kStopWaitMilliseconds + 500);  // one wait shared by both copies
  ASSERT_EQ(report.stillRunning.size(), 1u);
  EXPECT_EQ(report.ProblemLines(),
            std::vector<std::string>{"Still running: QALVINT.EXE (process " + std::to_string(hung) +
                                     "): it did not end within 5 seconds"});
  EXPECT_EQ(report.stopped.size(), 1u);
}

TEST_P(NtStopTest, AProcessThatRefusesToBeEndedIsReported) {
  const ProcessId guarded = Start(System("QALVINT.EXE"), kReadOnly);
  const ProcessId closed = Start("C:\\KVSETUP\\QALVINT.EXE", 0);
  app::ProgramStopReport report;
  app::KillProcessByName("QALVINT.EXE", report);
  EXPECT_TRUE(IsRunning(guarded));
  EXPECT_TRUE(IsRunning(closed));
  // Only the one whose name could be read is known to be the program.
  EXPECT_EQ(
      report.ProblemLines(),
      std::vector<std::string>{"Still running: QALVINT.EXE (process " + std::to_string(guarded) +
                               "): it cannot be opened to end it (Error 5 : Access is "
                               "denied.)"});
}

TEST_P(NtStopTest, TheInstallerNeverStopsItself) {
  const ProcessId other = Start("C:\\OLD\\SETUP.EXE");
  app::ProgramStopReport report;
  app::KillProcessByName("SETUP.EXE", report);
  EXPECT_FALSE(IsRunning(other));
  EXPECT_TRUE(IsRunning(Machine().programId()));
  ASSERT_EQ(report.stopped.size(), 1u);
  EXPECT_EQ(report.stopped[0].id, other);
}

TEST_P(NtStopTest, WithoutAnyPsapiTheProgramsAreNotLookedForAndThatIsSaid) {
  Remove("C:\\KVSETUP\\psapi.dll");
  Remove(System("psapi.dll"));
  const ProcessId filter = Start(System("QALVINT.EXE"));
  app::ProgramStopReport report;
  app::KillProcessByName("QALVINT.EXE", report);
  EXPECT_TRUE(IsRunning(filter));
  EXPECT_EQ(report.ProblemLines(),
            std::vector<std::string>{
                "Not looked for: QALVINT.EXE: the running programs could not be listed (Error "
                "126 : The specified module could not be found.)"});
}

TEST_P(NinetyFiveStopTest, AWindowThatIgnoresTheCloseRequestKeepsItsProgramRunning) {
  const ProcessId stubborn = Start(System("QALVINT.EXE"), AllAccess, 0, false);
  app::ProgramStopReport report;
  app::CloseWindowsOfExe("qalvint.exe", report);
  EXPECT_TRUE(IsRunning(stubborn));
  ASSERT_EQ(report.stillRunning.size(), 1u);
  EXPECT_EQ(report.stillRunning[0].reason, "it did not end within 5 seconds");
}

TEST_P(NinetyFiveStopTest, TheInstallerNeverClosesItsOwnWindows) {
  platform::sim::ProcessTable table = Machine().simProcesses().Table();
  for (SimProcess& process : table.processes)
    if (process.id == Machine().programId()) process.windows.push_back({0x30000, "Setup", true});
  std::ofstream(Folder() / "processes.ini", std::ios::trunc)
      << platform::sim::WriteProcessesIni(table);
  const ProcessId other = Start("C:\\OLD\\SETUP.EXE");
  app::ProgramStopReport report;
  app::CloseWindowsOfExe("SETUP.EXE", report);
  EXPECT_FALSE(IsRunning(other));
  EXPECT_EQ(Machine().processes().WindowProcess(0x30000), Machine().programId());
  ASSERT_EQ(report.stopped.size(), 1u);
  EXPECT_EQ(report.stopped[0].id, other);
}

TEST_P(NinetyFiveStopTest, OwnerExeNameIsTheSnapshotsPath) {
  const ProcessId filter = Start("c:\\windows\\system\\qalvint.exe");
  const platform::sim::ProcessTable table = Machine().simProcesses().Table();
  const auto& windows = table.processes.back().windows;
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(Machine().processes().WindowProcess(windows[0].handle), filter);
  EXPECT_EQ(app::OwnerExeName(windows[0].handle), "c:\\windows\\system\\qalvint.exe");
  EXPECT_EQ(app::OwnerExeName(0x7FFFFFF0), "");
}

class OwnerExeNameTest : public SimMachineTest {};

TEST_F(OwnerExeNameTest, NtFourHasNoSnapshotToTellIt) {
  MakeMachine("nt4");
  const auto windows = Machine().processes().TopLevelWindows();
  ASSERT_FALSE(windows.empty());
  EXPECT_EQ(app::OwnerExeName(windows[0]), "");
}

INSTANTIATE_TEST_SUITE_P(Profiles, StopProgramsTest,
                         ::testing::Values("win95", "win98", "nt4", "win2000"));
INSTANTIATE_TEST_SUITE_P(Profiles, NtStopTest, ::testing::Values("nt4", "win2000"));
INSTANTIATE_TEST_SUITE_P(Profiles, NinetyFiveStopTest, ::testing::Values("win95", "win98"));

}  // namespace
}  // namespace app_test
