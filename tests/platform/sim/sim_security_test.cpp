#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/access_rules.hpp"
#include "platform/exception.hpp"
#include "platform/sddl.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void ReplaceInFile(const std::filesystem::path& file, const std::string& from,
                   const std::string& to) {
  std::string text = ReadAll(file);
  const auto at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  std::ofstream(file, std::ios::binary) << text;
}

void MakeFile(FileSystem& files, std::string_view path) {
  std::unique_ptr<File> file;
  ASSERT_EQ(files.Open(path, file_access::GenericWrite, file_share::None, Disposition::CreateAlways,
                       file),
            win_error::Success);
}

class SimSecurityTest : public ::testing::Test {
 protected:
  std::unique_ptr<SimMachine> Make(std::string_view profile, SecurityChoices choices = {}) {
    MakeMachine(folder.path(), profile, choices);
    return SimMachine::Open(folder.path());
  }

  // GetFileSecurity as a program calls it: learning the size, then reading.
  static std::string FileSddl(Security& security, std::string_view path,
                              std::uint32_t information = security_info::Owner |
                                                          security_info::Dacl) {
    std::uint32_t needed = 0;
    EXPECT_EQ(security.GetFileSecurity(path, information, {}, needed),
              win_error::InsufficientBuffer);
    Bytes buffer(needed);
    EXPECT_EQ(security.GetFileSecurity(path, information, buffer, needed), win_error::Success);
    return DescriptorToSddl(ReadSelfRelative(buffer).value());
  }

  static std::string KeySddl(Security& security, KeyHandle key) {
    Bytes buffer(512);
    std::uint32_t needed = 0;
    EXPECT_EQ(security.GetKeySecurity(key, security_info::Dacl, buffer, needed),
              win_error::Success);
    return DescriptorToSddl(ReadSelfRelative(buffer).value());
  }

  static Bytes Descriptor(std::string_view sddl) {
    return WriteSelfRelative(DescriptorFromSddl(sddl));
  }

  testing::TempFolder folder;
};

TEST_F(SimSecurityTest, AccountsAreLookedUpBothWaysWithTheBufferRetry) {
  auto machine = Make("nt4");
  Security& security = machine->security();
  std::uint32_t size = 0;
  std::string domain;
  SidUse use{};
  EXPECT_EQ(security.LookupAccountName("", "everyone", {}, size, domain, use),
            win_error::InsufficientBuffer);
  EXPECT_EQ(size, 12u);
  Bytes sid(size);
  ASSERT_EQ(security.LookupAccountName("", "everyone", sid, size, domain, use), win_error::Success);
  EXPECT_EQ(sid, well_known_sid::Everyone().Bytes());
  EXPECT_EQ(use, SidUse::WellKnownGroup);
  Bytes admin(64);
  ASSERT_EQ(security.LookupAccountName("", "KORVANE-PC\\Administrator", admin, size, domain, use),
            win_error::Success);
  EXPECT_EQ(domain, "KORVANE-PC");
  EXPECT_EQ(security.LookupAccountName("", "OTHER\\Administrator", admin, size, domain, use),
            win_error::NoneMapped);

  std::string name;
  ASSERT_EQ(security.LookupAccountSid("", well_known_sid::LocalSystem().Bytes(), name, domain, use),
            win_error::Success);
  EXPECT_EQ(domain + "\\" + name, "NT AUTHORITY\\SYSTEM");
  EXPECT_EQ(
      security.LookupAccountSid("", MakeSid(5, {21, 9, 9, 9, 1234}).Bytes(), name, domain, use),
      win_error::NoneMapped);
  EXPECT_EQ(security.LookupAccountSid("\\\\ELSEWHERE", well_known_sid::Everyone().Bytes(), name,
                                      domain, use),
            win_error::RpcServerUnavailable);
  KeyHandle remote = 0;
  EXPECT_EQ(security.ConnectRegistry("\\\\ELSEWHERE", hkey::LocalMachine, remote),
            win_error::BadNetPath);
}

TEST_F(SimSecurityTest, NewFilesInheritAsEachReleaseDoes) {
  for (const char* profile : {"nt4", "win2000"}) {
    auto machine = Make(profile);
    MakeFile(machine->files(), "C:\\WINNT\\SYSTEM32\\KVUS.DAT");
    const std::string expected =
        std::string(profile) == "nt4"
            ? "O:S-1-5-32-544D:(A;;0x001F01FF;;;S-1-5-32-544)(A;;0x001F01FF;;;S-1-5-18)"
              "(A;;0x001F01FF;;;S-1-5-32-544)(A;;0x001301BF;;;S-1-1-0)"
            : "O:S-1-5-32-544D:AI(A;ID;0x001F01FF;;;S-1-5-32-544)(A;ID;0x001F01FF;;;S-1-5-18)"
              "(A;ID;0x001F01FF;;;S-1-5-32-544)(A;ID;0x001301BF;;;S-1-5-32-547)(A;ID;0x001200A9;;;"
              "S-1-5-32-545)";
    EXPECT_EQ(FileSddl(machine->security(), "c:\\winnt\\system32\\kvus.dat"), expected) << profile;
  }
}

TEST_F(SimSecurityTest, DescriptorsAreKeptOverwrittenMovedAndDropped) {
  auto machine = Make("nt4");
  Security& security = machine->security();
  FileSystem& files = machine->files();
  MakeFile(files, "C:\\TEMP\\A.DAT");
  MakeFile(files, "C:\\TEMP\\SOURCE.DAT");
  const std::string own =
      "O:S-1-5-32-544D:P(A;;0x001201BF;;;S-1-1-0)(0x00000011;0x00000020;;;;#01020304)";
  ASSERT_EQ(security.SetFileSecurity("C:\\TEMP\\A.DAT", security_info::Owner | security_info::Dacl,
                                     Descriptor(own)),
            win_error::Success);
  ASSERT_EQ(files.Copy("C:\\TEMP\\SOURCE.DAT", "C:\\TEMP\\A.DAT", false), win_error::Success);
  EXPECT_EQ(FileSddl(security, "C:\\TEMP\\A.DAT"), own);

  ASSERT_EQ(files.Rename("C:\\TEMP\\A.DAT", "C:\\TEMP\\B.DAT"), win_error::Success);
  EXPECT_EQ(FileSddl(security, "C:\\TEMP\\B.DAT"), own);
  machine->Save();
  machine.reset();
  machine = SimMachine::Open(folder.path());
  const std::string saved = ReadAll(folder.path() / "security.ini");
  const auto section = saved.find("[File C:\\TEMP\\B.DAT]\r\nSD=O:S-1-5-32-544G:");
  ASSERT_NE(section, std::string::npos) << saved;
  EXPECT_EQ(saved.find("D:P(A;;0x001201BF;;;S-1-1-0)(0x00000011;0x00000020;;;;#01020304)\r\n"),
            saved.find("D:P", section));
  EXPECT_EQ(saved.find("A.DAT"), std::string::npos);
  EXPECT_EQ(FileSddl(machine->security(), "C:\\TEMP\\B.DAT"), own);

  ASSERT_EQ(machine->files().Remove("C:\\TEMP\\B.DAT"), win_error::Success);
  MakeFile(machine->files(), "C:\\TEMP\\B.DAT");
  EXPECT_EQ(FileSddl(machine->security(), "C:\\TEMP\\B.DAT"),
            "O:S-1-5-32-544D:(A;;0x001F01FF;;;S-1-1-0)");
}

TEST_F(SimSecurityTest, KeysInheritAndNeedTheRightsTheirHandleWasOpenedWith) {
  auto machine = Make("win2000");
  Registry& registry = machine->registry();
  Security& security = machine->security();
  KeyHandle key = 0;
  ASSERT_EQ(registry.CreateKey(hkey::LocalMachine, "SOFTWARE\\KV", key_access::ReadWrite, key),
            win_error::Success);
  EXPECT_NE(KeySddl(security, key).find("(A;CIID;0x00020019;;;S-1-1-0)"), std::string::npos);
  Bytes buffer(512);
  std::uint32_t needed = 0;
  EXPECT_EQ(security.SetKeySecurity(key, security_info::Dacl, Descriptor("D:")),
            win_error::AccessDenied);
  EXPECT_EQ(security.GetKeySecurity(key, security_info::Sacl, buffer, needed),
            win_error::AccessDenied);
  registry.CloseKey(key);

  EXPECT_EQ(
      registry.OpenKey(hkey::LocalMachine, "SOFTWARE\\KV", access_right::AccessSystemSecurity, key),
      win_error::PrivilegeNotHeld);
  std::uint64_t luid = 0;
  ASSERT_EQ(security.LookupPrivilegeValue("SeSecurityPrivilege", luid), win_error::Success);
  const TokenPrivilege enable{luid, kPrivilegeEnabled};
  ASSERT_EQ(security.AdjustTokenPrivileges({&enable, 1}), win_error::Success);
  ASSERT_EQ(
      registry.OpenKey(hkey::LocalMachine, "SOFTWARE\\KV", access_right::AccessSystemSecurity, key),
      win_error::Success);
  EXPECT_EQ(security.GetKeySecurity(key, security_info::Sacl, buffer, needed), win_error::Success);
  registry.CloseKey(key);

  ASSERT_EQ(registry.OpenKey(hkey::LocalMachine, "SOFTWARE\\KV", access_right::WriteDac, key),
            win_error::Success);
  ASSERT_EQ(
      security.SetKeySecurity(key, security_info::Dacl, Descriptor("D:(A;;0x000F003F;;;S-1-1-0)")),
      win_error::Success);
  registry.CloseKey(key);
  ASSERT_EQ(registry.DeleteTree(hkey::LocalMachine, "software\\kv"), win_error::Success);
  ASSERT_EQ(registry.CreateKey(hkey::LocalMachine, "SOFTWARE\\KV", key_access::Read, key),
            win_error::Success);
  EXPECT_EQ(KeySddl(security, key).find("(A;;0x000F003F;;;S-1-1-0)"), std::string::npos);
  registry.CloseKey(key);
}

TEST_F(SimSecurityTest, APlainUserCanNeitherWidenNorAudit) {
  auto machine = Make("nt4", {.plainUser = true});
  Security& security = machine->security();
  std::uint64_t luid = 0;
  ASSERT_EQ(security.LookupPrivilegeValue("SeSecurityPrivilege", luid), win_error::Success);
  const TokenPrivilege enable{luid, kPrivilegeEnabled};
  EXPECT_EQ(security.AdjustTokenPrivileges({&enable, 1}), win_error::NotAllAssigned);
  KeyHandle key = 0;
  EXPECT_EQ(
      machine->registry().OpenKey(hkey::LocalMachine, "SOFTWARE", access_right::WriteDac, key),
      win_error::AccessDenied);
  EXPECT_EQ(security.SetFileSecurity("C:\\WINNT\\SYSTEM32", security_info::Dacl,
                                     Descriptor("D:NO_ACCESS_CONTROL")),
            win_error::AccessDenied);
}

TEST_F(SimSecurityTest, DrivesWithoutAccessListsAndMachinesWithoutTheApi) {
  MakeMachine(folder.path(), "nt4");
  ReplaceInFile(folder.path() / "machine.ini", "C=fixed,NTFS", "C=fixed,FAT");
  auto machine = SimMachine::Open(folder.path());
  std::uint32_t needed = 0;
  EXPECT_EQ(machine->security().GetFileSecurity("C:\\WINNT", security_info::Dacl, {}, needed),
            win_error::NoSecurityOnObject);
  EXPECT_EQ(machine->security().GetFileSecurity("C:\\NOWHERE", security_info::Dacl, {}, needed),
            win_error::FileNotFound);
  EXPECT_EQ(machine->security().DriveTypeOf("D:\\"), DriveType::CdRom);
  machine.reset();

  auto old = Make("win95");
  std::string name, domain;
  SidUse use{};
  EXPECT_EQ(
      old->security().LookupAccountSid("", well_known_sid::Everyone().Bytes(), name, domain, use),
      win_error::CallNotImplemented);
  EXPECT_EQ(old->security().GetFileSecurity("C:\\WINDOWS", security_info::Dacl, {}, needed),
            win_error::CallNotImplemented);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "security.ini"));
}

TEST_F(SimSecurityTest, WithoutEveryoneNoListNamesIt) {
  MakeMachine(folder.path(), "win2000", {.withEveryone = false});
  const std::string text = ReadAll(folder.path() / "security.ini");
  EXPECT_EQ(text.find(";S-1-1-0)"), std::string::npos);
  EXPECT_NE(text.find("S-1-1-0=,Everyone,WellKnownGroup"), std::string::npos);
}

TEST_F(SimSecurityTest, MalformedSecurityIniNamesItsLine) {
  MakeMachine(folder.path(), "nt4");
  ReplaceInFile(folder.path() / "security.ini", "(A;OICI;0x001F01FF;;;S-1-1-0)",
                "(A;OICI;7;;;S-1-1-0)");
  try {
    SimMachine::Open(folder.path());
    FAIL();
  } catch (const Exception& error) {
    EXPECT_NE(std::string(error.what()).find("security.ini, line"), std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace platform::sim
