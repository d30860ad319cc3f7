// Whole installations over running copies of the product's programs: what is stopped, what
// stays running, which files could not be replaced, and how the run's summary says so.
#include "platform/sim/process_table.hpp"
#include "setup_run_fixture.hpp"

namespace app_test {
namespace {

using platform::ProcessId;
using platform::sim::SimProcess;

constexpr const char* kAnswers =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Upgrade]\nImportSites=no\n"
    "[Finish]\nStartNow=no\n";

class SetupStopsProgramsTest : public SetupRunTest {
 protected:
  ProcessId Start(const std::string& path, std::uint32_t exitDelay = 0) {
    SimProcess process;
    process.path = path;
    process.moduleName = path.substr(path.rfind('\\') + 1);
    process.exitDelay = exitDelay;
    process.windows.push_back({0, "Korvane", true});
    return Machine().simProcesses().Add(std::move(process));
  }

  static std::string Line(const std::string& text) { return "Setup: " + text + "\n"; }
};

TEST_F(SetupStopsProgramsTest, NtFourStopsEveryCopyOfBothProgramsAndNoOtherProgram) {
  MakeMachine("nt4");
  WriteFile("C:\\WINNT\\SYSTEM32\\Qalvint.exe", "old filter program");
  const ProcessId first = Start("C:\\WINNT\\SYSTEM32\\QALVINT.EXE");
  const ProcessId second = Start("C:\\WINNT\\SYSTEM32\\QALVINT.EXE", 800);
  const ProcessId dorsk = Start("C:\\WINNT\\SYSTEM32\\DORSK6.EXE");
  Start("C:\\TOOLS\\XQALVINT.EXE");
  SetupResult result = RunSetup(kAnswers);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find(Line("Stopped: QALVINT.EXE (process " + std::to_string(first) + ")") +
                            Line("Stopped: QALVINT.EXE (process " + std::to_string(second) + ")") +
                            Line("Stopped: DORSK6.EXE (process " + std::to_string(dorsk) + ")")),
            std::string::npos)
      << result.out;
  EXPECT_EQ(result.out.find("Still running"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Not replaced"), std::string::npos) << result.out;
  EXPECT_FALSE(Running("QALVINT.EXE"));
  EXPECT_FALSE(Running("DORSK6.EXE"));
  EXPECT_TRUE(Running("XQALVINT.EXE"));
  EXPECT_EQ(ReadFile("C:\\WINNT\\SYSTEM32\\Qalvint.exe"), ReadFile("C:\\KVSETUP\\Qalvint.exe"));
}

TEST_F(SetupStopsProgramsTest, AFilterProgramThatWillNotEndIsReportedWithItsFile) {
  MakeMachine("win2000");
  WriteFile("C:\\WINNT\\SYSTEM32\\Qalvint.exe", "old filter program");
  const ProcessId hung = Start("C:\\WINNT\\SYSTEM32\\QALVINT.EXE", SimProcess::kNeverExits);
  SetupResult result = RunSetup(kAnswers);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find(Line("Still running: QALVINT.EXE (process " + std::to_string(hung) +
                                 "): it did not end within 5 seconds") +
                            Line("Not replaced: C:\\WINNT\\SYSTEM32\\Qalvint.exe")),
            std::string::npos)
      << result.out;
  EXPECT_EQ(ReadFile("C:\\WINNT\\SYSTEM32\\Qalvint.exe"), "old filter program");
  EXPECT_EQ(ReadFile("C:\\WINNT\\SYSTEM32\\Dorsk6.exe"), ReadFile("C:\\KVSETUP\\Dorsk6.exe"));
}

TEST_F(SetupStopsProgramsTest, Windows98ClosesAProgramStartedUnderALowerCasePath) {
  MakeMachine("win98");
  const ProcessId filter = Start("c:\\windows\\system\\qalvint.exe");
  SetupResult result = RunSetup(kAnswers);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find(Line("Stopped: qalvint.exe (process " + std::to_string(filter) + ")")),
            std::string::npos)
      << result.out;
  EXPECT_FALSE(Running("QALVINT.EXE"));
  EXPECT_EQ(ReadFile("C:\\WINDOWS\\SYSTEM\\Qalvint.exe"), ReadFile("C:\\KVSETUP\\Qalvint.exe"));
}

}  // namespace
}  // namespace app_test
