// Runs of the Setup command that end early: by the user's choice, by a mistake in the answer
// file or the command line, or by an error of the installation.
#include <fstream>

#include "setup_run_fixture.hpp"
#include "tools/mkdist/dist_folder.hpp"

namespace app_test {
namespace {

using platform::hkey::CurrentUser;
using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";
constexpr std::string_view kIE = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class SetupStopsTest : public SetupRunTest {};

TEST_F(SetupStopsTest, DecliningTheLicenceChangesNothing) {
  MakeMachine("win98");
  auto before = MachineState();
  SetupResult result = RunSetup("[Setup]\nLicense=decline\n[Proxy]\nUseProxy=yes\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Software License Agreement -> decline\n");
  EXPECT_EQ(MachineState(), before);
}

TEST_F(SetupStopsTest, AMissingSiteListStopsBeforeAnythingChanges) {
  MakeMachine("nt4");
  Remove("C:\\KVSETUP\\KV015.dat");
  auto before = MachineState();
  SetupResult result = RunSetup("[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Setup cannot find the site list \"KV015.dat\" in C:\\KVSETUP."),
            std::string::npos)
      << result.err;
  EXPECT_EQ(result.out.find("Proxy Server in use?"), std::string::npos);
  EXPECT_EQ(MachineState(), before);
}

TEST_F(SetupStopsTest, AnUnansweredQuestionIsNamed) {
  MakeMachine("win98");
  auto before = MachineState();
  SetupResult result = RunSetup("[Setup]\nLicense=accept\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("does not answer the question \"Proxy Server in use?\" ([Proxy] "
                            "UseProxy)"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(MachineState(), before);
}

TEST_F(SetupStopsTest, AnUnansweredLicenceIsNamed) {
  MakeMachine("win98");
  SetupResult result = RunSetup("[Proxy]\nUseProxy=no\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("\"Software License Agreement\" ([Setup] License)"), std::string::npos)
      << result.err;
}

TEST_F(SetupStopsTest, AWrongValueTypeStopsTheInstallationWhereItIs) {
  MakeMachine("win98");
  SetString(CurrentUser, kIE, "MigrateProxy", "1");
  SetDword(CurrentUser, kKV, "Sound", 1);
  SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=yes\nHost=h\nPort=81\n[Finish]\nStartNow=no\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Invalid data type for 'MigrateProxy'"), std::string::npos)
      << result.err;
  // Done before the error: the proxy answers and the carried per-user key; nothing after.
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 81u);
  EXPECT_FALSE(KeyExists(CurrentUser, kKV));
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "LastUp"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\SYSTEM\\KV015.dat"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\Start Menu\\Programs\\Ostrel"));
}

TEST_F(SetupStopsTest, AnAnswerFileMistakeStopsBeforeTheMachineIsOpened) {
  MakeMachine("win98");
  auto before = MachineState();
  SetupResult result = RunSetup("[Setup]\nLicense=accept\n[Proxy]\nPort=eighty\n");
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("line 4: Port must be a whole number or <cancel>, not \"eighty\""),
            std::string::npos)
      << result.err;
  EXPECT_EQ(MachineState(), before);
}

TEST_F(SetupStopsTest, CommandLineMistakes) {
  MakeMachine("win98");
  const std::string machine = Folder().string();
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    const char* message;
  };
  const Case cases[] = {
      {{}, 2, "--machine DIR is required"},
      {{"--machine"}, 2, "--machine needs a value"},
      {{"--machine", machine, "--ui", "gui"}, 2, "--ui must be console or script"},
      {{"--machine", machine, "--ui", "script"}, 2, "--ui script needs --answers FILE"},
      {{"--machine", machine, "--ui", "console", "--answers", "a.ini"},
       2,
       "--answers drives --ui script only"},
      {{"--machine", machine, "--verbose"}, 2, "unknown argument --verbose"},
      {{"--machine", machine, "--answers", "/nonexistent/a.ini"},
       2,
       "Cannot read the answer file /nonexistent/a.ini"},
      {{"--machine", "/nonexistent/machine", "--answers", (Folder() / "a.ini").string()},
       1,
       "Setup: /nonexistent/machine is not a simulated machine: it has no machine.ini"},
      {{"--help"}, 0, "usage: Setup --machine DIR"},
  };
  std::ofstream(Folder() / "a.ini") << "[Setup]\nLicense=decline\n";
  for (const Case& c : cases) {
    SetupResult result = RunSetupCommand(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.message;
    EXPECT_NE((result.out + result.err).find(c.message), std::string::npos)
        << result.out << result.err;
  }
}

TEST_F(SetupStopsTest, SetupRunsFromTheSetupPathGiven) {
  MakeMachine("win98", false);
  mkdist::FillSetupFolder("C:\\Korvane Setup");
  std::filesystem::path answers = Folder() / "a.ini";
  std::ofstream(answers)
      << "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=no\n";
  SetupResult result = RunSetupCommand({"--machine", Folder().string(), "--setup-path",
                                        "C:\\Korvane Setup\\", "--answers", answers.string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(Exists("C:\\WINDOWS\\SYSTEM\\KV015.dat"));
  EXPECT_TRUE(Exists("C:\\WINDOWS\\Start Menu\\Programs\\Ostrel\\Readme.txt"));
}

}  // namespace
}  // namespace app_test
