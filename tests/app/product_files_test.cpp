#include "app/splash_product_files.hpp"

#include <algorithm>

#include "platform/path_parts.hpp"
#include "sim_machine_fixture.hpp"
#include "tools/mkdist/dist_contents.hpp"

namespace app_test {
namespace {

class ProductFilesTest : public SimMachineTest {
 protected:
  void SetUp() override { MakeMachine("win98"); }
  std::string InSystem(std::string_view name) { return platform::PathJoin(SystemDir(), name); }
};

TEST_F(ProductFilesTest, AnyOfTheSixDataFilesMarksAnEarlierInstallation) {
  EXPECT_FALSE(app::HasEarlierInstallation(SystemDir()));
  for (std::string_view name : app::InstallMarkerFiles()) {
    SCOPED_TRACE(name);
    WriteFile(InSystem(name), "old");
    EXPECT_TRUE(app::HasEarlierInstallation(SystemDir()));
    Remove(InSystem(name));
  }
  // Other product files do not count.
  WriteFile(InSystem("KVconf.dat"), "old");
  WriteFile(InSystem("KVWords.dat"), "old");
  EXPECT_FALSE(app::HasEarlierInstallation(SystemDir()));
}

TEST_F(ProductFilesTest, EveryProductFileIsCopiedAndOverwritten) {
  WriteFile(InSystem("kv015.DAT"), "old site list");
  WriteFile(InSystem("Qalvint.exe"), "old program");
  EXPECT_TRUE(app::CopyProductFiles(SystemDir()).empty());
  EXPECT_EQ(app::ProductFiles().size(), 23u);
  for (const app::ProductFile& file : app::ProductFiles()) {
    SCOPED_TRACE(file.name);
    EXPECT_EQ(ReadFile(InSystem(file.name)), ReadFile(platform::PathJoin(kSetupDir, file.name)));
  }
  EXPECT_FALSE(Exists(InSystem("readme.txt")));
}

TEST_F(ProductFilesTest, TheKeywordListAndPsapiAreNeverOverwritten) {
  WriteFile(InSystem("KVWords.dat"), "the user's keywords");
  WriteFile(InSystem("PSAPI.DLL"), "the system's own psapi");
  app::CopyProductFiles(SystemDir());
  EXPECT_EQ(ReadFile(InSystem("KVWords.dat")), "the user's keywords");
  EXPECT_EQ(ReadFile(InSystem("psapi.dll")), "the system's own psapi");
}

TEST_F(ProductFilesTest, AFailedCopyIsPassedOverAndReported) {
  Remove("C:\\KVSETUP\\Dorsk6.exe");
  EXPECT_EQ(app::CopyProductFiles(SystemDir()), std::vector<std::string>{InSystem("Dorsk6.exe")});
  EXPECT_FALSE(Exists(InSystem("Dorsk6.exe")));
  EXPECT_TRUE(Exists(InSystem("OsUninstall.exe")));  // copied after the missing one
}

TEST_F(ProductFilesTest, AProgramStillRunningKeepsItsOldFile) {
  WriteFile(InSystem("Qalvint.exe"), "old program");
  Machine().simProcesses().StartProgram(InSystem("QALVINT.EXE"));
  EXPECT_EQ(app::CopyProductFiles(SystemDir()), std::vector<std::string>{InSystem("Qalvint.exe")});
  EXPECT_EQ(ReadFile(InSystem("Qalvint.exe")), "old program");
  EXPECT_EQ(ReadFile(InSystem("Dorsk6.exe")), ReadFile("C:\\KVSETUP\\Dorsk6.exe"));
}

TEST_F(ProductFilesTest, CopiesComeFromTheCurrentFolder) {
  ASSERT_EQ(Machine().files().MakeFolder("C:\\OTHER"), 0u);
  WriteFile("C:\\OTHER\\KVconf.dat", "from the current folder");
  ASSERT_EQ(Machine().program().SetCurrentFolder("C:\\OTHER"), 0u);
  app::CopyProductFiles(SystemDir());
  EXPECT_EQ(ReadFile(InSystem("KVconf.dat")), "from the current folder");
  EXPECT_FALSE(Exists(InSystem("KV015.dat")));
}

TEST_F(ProductFilesTest, StaleIndexFilesGoFromBothFolders) {
  std::vector<std::string> made;
  for (std::string_view name : app::StaleIndexFiles()) {
    for (const std::string& folder : {std::string(kSetupDir), SystemDir()}) {
      made.push_back(platform::PathJoin(folder, name));
      WriteFile(made.back(), "index");
    }
  }
  WriteFile(InSystem("KVconf.cdx"), "not one of them");
  app::DeleteStaleIndexFiles(kSetupDir, SystemDir());
  for (const std::string& path : made)
    EXPECT_FALSE(Exists(path)) << path;
  EXPECT_TRUE(Exists(InSystem("KVconf.cdx")));
  // Nothing to delete is no error.
  app::DeleteStaleIndexFiles(kSetupDir, SystemDir());
}

TEST_F(ProductFilesTest, TheSetupFolderHoldsEveryFileOfTheCopyTable) {
  std::vector<mkdist::DistFile> files = mkdist::DistributionFiles();
  for (const app::ProductFile& file : app::ProductFiles()) {
    EXPECT_TRUE(Exists(platform::PathJoin(kSetupDir, file.name))) << file.name;
  }
  EXPECT_TRUE(Exists("C:\\KVSETUP\\readme.txt"));
  // The readme is one more; the nine table files and the uninstaller shortcut are written
  // apart.
  EXPECT_EQ(files.size() + 9, app::ProductFiles().size());
}

}  // namespace
}  // namespace app_test
