#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/platform/temp_folder.hpp"
#include "tools/mkmachine/mkmachine_command.hpp"

namespace tools {
namespace {

using platform::testing::TempFolder;

struct Outcome {
  int code;
  std::string out, err;
};

Outcome Mkmachine(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int code = RunMkmachine(arguments, out, err);
  return {code, out.str(), err.str()};
}

TEST(Mkmachine, MakesAMachineAndSummarisesIt) {
  TempFolder folder;
  const std::string dir = (folder.path() / "m").string();
  const Outcome run = Mkmachine({dir, "--profile", "nt4"});
  ASSERT_EQ(run.code, kMkmachineDone) << run.err;
  EXPECT_TRUE(run.err.empty());
  for (const char* expected :
       {"Made a machine of profile nt4 in ", "NT family 4.0, build 1381, Service Pack 6",
        "Windows C:\\WINNT, system C:\\WINNT\\SYSTEM32",
        "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs", "C: fixed NTFS", "D: CD-ROM CDFS",
        "[System Process]"})
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  // Making a machine again where one is needs no --force.
  EXPECT_EQ(Mkmachine({"--profile=win95", dir}).code, kMkmachineDone);
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Mkmachine, SecurityOptionsShapeTheNtMachinesSecurityIni) {
  TempFolder folder;
  const auto dir = folder.path() / "m";
  ASSERT_EQ(Mkmachine({dir.string(), "--profile", "nt4"}).code, kMkmachineDone);
  const std::string standard = ReadAll(dir / "security.ini");
  EXPECT_NE(standard.find(";S-1-1-0)"), std::string::npos);
  EXPECT_NE(standard.find("Groups=S-1-1-0,S-1-5-32-544"), std::string::npos);

  ASSERT_EQ(Mkmachine({dir.string(), "--profile", "nt4", "--no-everyone", "--plain-user"}).code,
            kMkmachineDone);
  const std::string narrowed = ReadAll(dir / "security.ini");
  EXPECT_EQ(narrowed.find(";S-1-1-0)"), std::string::npos);
  EXPECT_EQ(narrowed.find("Groups=S-1-1-0,S-1-5-32-544"), std::string::npos);
  EXPECT_NE(narrowed.find("User=S-1-5-21-1214440339-1957994488-1801674531-1000"),
            std::string::npos);

  ASSERT_EQ(Mkmachine({dir.string(), "--profile", "win98"}).code, kMkmachineDone);
  EXPECT_FALSE(std::filesystem::exists(dir / "security.ini"));
}

TEST(Mkmachine, RefusesAFolderWithOtherFilesUnlessForced) {
  TempFolder folder;
  std::ofstream(folder.path() / "keep.txt") << "mine";
  const std::string dir = folder.path().string();
  const Outcome refused = Mkmachine({dir, "--profile", "win98"});
  EXPECT_EQ(refused.code, kMkmachineFailed);
  EXPECT_NE(refused.err.find("holds other files and is not a machine; use --force"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "machine.ini"));
  EXPECT_EQ(Mkmachine({dir, "--profile", "win98", "--force"}).code, kMkmachineDone);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "keep.txt"));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "machine.ini"));
}

TEST(Mkmachine, WrongCommandLinesAreUsageErrors) {
  TempFolder folder;
  const std::string dir = folder.path().string();
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  };
  const Case cases[] = {
      {{}, "mkmachine: DIR is missing"},
      {{dir}, "mkmachine: --profile is missing"},
      {{dir, "--profile"}, "mkmachine: --profile needs a profile name"},
      {{dir, "--profile", "winxp"}, "mkmachine: unknown profile \"winxp\""},
      {{dir, "--profile", "win95", "--quick"}, "mkmachine: unknown option --quick"},
      {{dir, dir, "--profile", "win95"}, "mkmachine: only one DIR may be given"},
  };
  for (const auto& c : cases) {
    const Outcome run = Mkmachine(c.arguments);
    EXPECT_EQ(run.code, kMkmachineUsage) << c.message;
    EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
    EXPECT_NE(run.err.find("Usage: mkmachine DIR --profile PROFILE"), std::string::npos);
  }
  const Outcome help = Mkmachine({"--help"});
  EXPECT_EQ(help.code, kMkmachineDone);
  EXPECT_EQ(help.out.rfind("Usage: mkmachine", 0), 0u);
  std::ofstream(folder.path() / "file") << "x";
  const Outcome onFile = Mkmachine({(folder.path() / "file").string(), "--profile", "win95"});
  EXPECT_EQ(onFile.code, kMkmachineFailed);
  EXPECT_NE(onFile.err.find("is a file, not a folder"), std::string::npos);
}

}  // namespace
}  // namespace tools
