// The NT permission step of whole installations: the product key and the Run key widened in
// place, the eleven product files given an entry for Everyone on NTFS, and everything the
// step leaves alone reported with its reason.
#include <fstream>

#include "app/registry_paths.hpp"
#include "platform/sddl.hpp"
#include "setup_run_fixture.hpp"
#include "tools/mkdist/earlier_install.hpp"
#include "winsec/sid_store.hpp"

namespace app_test {
namespace {

using platform::hkey::LocalMachine;

constexpr const char* kNewInstall =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=no\n";
constexpr const char* kUpgrade =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Upgrade]\nImportSites=no\n"
    "[Finish]\nStartNow=no\n";
constexpr const char* kRunKey = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";
constexpr const char* kFiles[] = {"KVconf.dat",  "KVconf.fpt",  "KV015.dat", "KV025.dat",
                                  "KV035.dat",   "KV100.dat",   "KVLog.dat", "KVUS.dat",
                                  "KVWords.dat", "Qalvint.exe", "Dorsk6.exe"};
constexpr const char* kEveryoneReadWriteExecute = "(A;;0x001201BF;;;S-1-1-0)";

class NtPermissionsTest : public SetupRunTest {
 protected:
  std::string KeyDacl(const std::string& path) {
    platform::KeyHandle key = 0;
    EXPECT_EQ(Machine().registry().OpenKey(LocalMachine, path, platform::key_access::Read, key),
              0u);
    std::vector<std::uint8_t> buffer(8192);
    std::uint32_t needed = 0;
    EXPECT_EQ(
        Machine().security().GetKeySecurity(key, platform::security_info::Dacl, buffer, needed),
        0u);
    Machine().registry().CloseKey(key);
    return platform::DescriptorToSddl(platform::ReadSelfRelative(buffer).value());
  }
  std::string FileDacl(const std::string& path) {
    std::vector<std::uint8_t> buffer(8192);
    std::uint32_t needed = 0;
    EXPECT_EQ(
        Machine().security().GetFileSecurity(path, platform::security_info::Dacl, buffer, needed),
        0u);
    return platform::DescriptorToSddl(platform::ReadSelfRelative(buffer).value());
  }
  void SetKeyDacl(const std::string& path, const std::string& sddl) {
    platform::KeyHandle key = 0;
    ASSERT_EQ(
        Machine().registry().OpenKey(LocalMachine, path, platform::access_right::WriteDac, key),
        0u);
    ASSERT_EQ(Machine().security().SetKeySecurity(
                  key, platform::security_info::Dacl,
                  platform::WriteSelfRelative(platform::DescriptorFromSddl(sddl))),
              0u);
    Machine().registry().CloseKey(key);
  }
  void SetFileDacl(const std::string& path, const std::string& sddl) {
    ASSERT_EQ(Machine().security().SetFileSecurity(
                  path, platform::security_info::Dacl,
                  platform::WriteSelfRelative(platform::DescriptorFromSddl(sddl))),
              0u);
  }
  std::string File(const char* name) { return SystemDir() + "\\" + name; }
  static int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
      ++count;
    return count;
  }
  void EditSecurityIni(const std::string& from, const std::string& to) {
    CloseMachine();
    const auto file = Folder() / "security.ini";
    std::string text = ReadHostFile(file);
    ASSERT_NE(text.find(from), std::string::npos) << from;
    text.replace(text.find(from), from.size(), to);
    std::ofstream(file, std::ios::binary) << text;
    OpenMachine();
  }
};

TEST_F(NtPermissionsTest, Nt4WidensBothKeysAndEveryFileKeepingTheirOwnEntries) {
  MakeMachine("nt4");
  // Eleven files already there, each with a list of its own: overwriting keeps it. The users
  // table is a real one: the upgrade merges its accounts.
  int n = 0;
  for (const char* name : kFiles) {
    if (std::string_view(name) == "KVUS.dat") {
      mkdist::WriteTable(SystemDir(), mkdist::UsersRecipe(mkdist::UsersLayout::OlderRelease,
                                                          mkdist::EarlierAccounts()));
    } else {
      WriteFile(File(name), "old");
    }
    SetFileDacl(File(name), "D:(A;;0x001F01FF;;;S-1-5-32-544)(D;;0x" + std::to_string(10000 + n++) +
                                ";;;S-1-5-32-545)");
  }
  std::map<std::string, std::string> before;
  for (const char* name : kFiles)
    before[name] = FileDacl(File(name));
  const std::string runBefore = KeyDacl(kRunKey);

  SetupResult result = RunSetup(kUpgrade);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string product = KeyDacl("SOFTWARE\\KV");
  EXPECT_NE(product.find("(A;;0x000F003F;;;S-1-1-0)"), std::string::npos) << product;
  EXPECT_EQ(product.find("0x00020019;;;S-1-1-0"), std::string::npos) << product;
  std::string runAfter = runBefore;
  runAfter.replace(runAfter.find("(A;CI;0x00020019;;;S-1-1-0)"), 27, "(A;;0x000F003F;;;S-1-1-0)");
  EXPECT_EQ(KeyDacl(kRunKey), runAfter);
  for (const char* name : kFiles) {
    const std::string dacl = FileDacl(File(name));
    EXPECT_EQ(dacl, before[name] + kEveryoneReadWriteExecute) << name;
    EXPECT_NE(result.out.find(File(name) + ": " + before[name] + " -> " + dacl), std::string::npos)
        << result.out;
  }

  // A second installation adds a second entry to each file; the keys stay as they are.
  SetupResult again = RunSetup(kUpgrade);
  ASSERT_EQ(again.exitCode, 0) << again.err;
  for (const char* name : kFiles)
    EXPECT_EQ(Count(FileDacl(File(name)), kEveryoneReadWriteExecute), 2) << name;
  EXPECT_EQ(KeyDacl(kRunKey), runAfter);
}

TEST_F(NtPermissionsTest, DriveCOnFatChangesTheKeysButNoFile) {
  MakeMachine("win2000");
  CloseMachine();
  const auto ini = Folder() / "machine.ini";
  std::string text = ReadHostFile(ini);
  text.replace(text.find("C=fixed,NTFS"), 12, "C=fixed,FAT");
  std::ofstream(ini, std::ios::binary) << text;
  OpenMachine();
  SetupResult result = RunSetup(kNewInstall);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(KeyDacl("SOFTWARE\\KV").find("(A;;0x000F003F;;;S-1-1-0)"), std::string::npos);
  EXPECT_NE(result.out.find(File("KVUS.dat") + ": unchanged, drive C: is FAT"), std::string::npos)
      << result.out;
  std::uint32_t needed = 0;
  EXPECT_EQ(Machine().security().GetFileSecurity(File("KVUS.dat"), platform::security_info::Dacl,
                                                 {}, needed),
            platform::win_error::NoSecurityOnObject);
}

TEST_F(NtPermissionsTest, WithoutEveryoneEntriesTheKeysStayAndTheFilesGainOne) {
  MakeMachine("win2000", true, {.withEveryone = false});
  const std::string runBefore = KeyDacl(kRunKey);
  SetupResult result = RunSetup(kNewInstall);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(KeyDacl(kRunKey), runBefore);
  EXPECT_EQ(KeyDacl("SOFTWARE\\KV").find("S-1-1-0"), std::string::npos);
  EXPECT_NE(
      result.out.find(
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\KV: unchanged, its access list has no entry for Everyone"),
      std::string::npos)
      << result.out;
  EXPECT_EQ(Count(FileDacl(File("KVUS.dat")), kEveryoneReadWriteExecute), 1);
}

TEST_F(NtPermissionsTest, APlainUserIsStoppedBeforeAnythingChanges) {
  MakeMachine("nt4", true, {.plainUser = true});
  const auto state = MachineState();
  SetupResult result = RunSetup(kNewInstall);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE(
      result.err.find(
          "Setup cannot change who may use HKEY_LOCAL_MACHINE\\SOFTWARE (5: Access is denied.)"),
      std::string::npos)
      << result.err;
  EXPECT_EQ(MachineState(), state);
}

TEST_F(NtPermissionsTest, TheAdministratorMayKeepTheRunKeyAndTheProgramsNarrow) {
  MakeMachine("nt4");
  const std::string runBefore = KeyDacl(kRunKey);
  SetupResult result =
      RunSetup(std::string(kNewInstall) + "[Security]\nWidenRunKey=no\nWidenPrograms=no\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(KeyDacl(kRunKey), runBefore);
  EXPECT_EQ(Count(FileDacl(File("Qalvint.exe")), kEveryoneReadWriteExecute), 0);
  EXPECT_EQ(Count(FileDacl(File("KVUS.dat")), kEveryoneReadWriteExecute), 1);
  EXPECT_NE(
      result.out.find(File("Dorsk6.exe") + ": unchanged, left alone as the administrator chose"),
      std::string::npos)
      << result.out;

  // The command line's switch, for runs without an answer file's choice.
  std::ofstream(Folder() / "answers.ini") << kUpgrade;
  SetupResult switched =
      RunSetupCommand({"--machine", Folder().string(), "--answers",
                       (Folder() / "answers.ini").string(), "--widen-run-key", "no"});
  ASSERT_EQ(switched.exitCode, 0) << switched.err;
  EXPECT_EQ(KeyDacl(kRunKey), runBefore);
  EXPECT_EQ(Count(FileDacl(File("Qalvint.exe")), kEveryoneReadWriteExecute), 1);
  EXPECT_EQ(RunSetupCommand({"--machine", Folder().string(), "--widen-programs", "maybe"}).exitCode,
            2);
}

TEST_F(NtPermissionsTest, EveryoneIsFoundByItsSidAndNullOrMissingListsAreLeftAlone) {
  MakeMachine("win2000");
  EditSecurityIni("S-1-1-0=,Everyone,WellKnownGroup", "S-1-1-0=,Jeder,WellKnownGroup");
  winsec::TSidStore::Instance().Clear();  // names cached from other machines of this process
  SetKeyDacl(kRunKey, "D:NO_ACCESS_CONTROL");
  SetupResult result = RunSetup(kNewInstall);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(KeyDacl("SOFTWARE\\KV").find("(A;;0x000F003F;;;S-1-1-0)"), std::string::npos);
  EXPECT_EQ(KeyDacl(kRunKey), "D:NO_ACCESS_CONTROL");
  EXPECT_NE(result.out.find("RUN: unchanged, its access list is null"), std::string::npos)
      << result.out;
  EXPECT_EQ(Count(FileDacl(File("KVUS.dat")), kEveryoneReadWriteExecute), 1);

  DeleteKey(LocalMachine, kRunKey);
  SetupResult second = RunSetup(kUpgrade);
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_NE(second.out.find("RUN: unchanged, the key does not exist"), std::string::npos)
      << second.out;
}

TEST_F(NtPermissionsTest, TheNinetyFiveFamilyChangesNoAccessList) {
  MakeMachine("win98");
  SetupResult result = RunSetup(kNewInstall);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.find("access of Everyone"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "security.ini"));
}

}  // namespace
}  // namespace app_test
