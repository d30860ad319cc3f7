#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/sddl.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"
#include "winsec/file_security.hpp"
#include "winsec/mask_translation.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/reg_security.hpp"
#include "winsec/sid_store.hpp"

namespace winsec {
namespace {

using platform::sim::SecurityChoices;
using platform::sim::SimMachine;

class SecurityComponentsTest : public ::testing::Test {
 protected:
  void Open(std::string_view profile, SecurityChoices choices = {}) {
    TSidStore::Instance().Clear();
    platform::sim::MakeMachine(folder.path(), profile, choices);
    machine = SimMachine::Open(folder.path());
    scope = std::make_unique<platform::ScopedMachine>(*machine);
  }

  platform::KeyHandle MakeKey(const std::string& path) {
    platform::KeyHandle key = 0;
    EXPECT_EQ(machine->registry().CreateKey(platform::hkey::LocalMachine, path,
                                            platform::key_access::ReadWrite, key),
              0u);
    machine->registry().CloseKey(key);
    return key;
  }

  void MakeFile(const std::string& path) {
    std::unique_ptr<platform::File> file;
    ASSERT_EQ(machine->files().Open(path, platform::file_access::GenericWrite, 0,
                                    platform::Disposition::CreateAlways, file),
              0u);
  }

  std::string KeySddl(const std::string& path) {
    platform::KeyHandle key = 0;
    EXPECT_EQ(machine->registry().OpenKey(platform::hkey::LocalMachine, path,
                                          platform::key_access::Read, key),
              0u);
    std::vector<std::uint8_t> buffer(4096);
    std::uint32_t needed = 0;
    EXPECT_EQ(
        machine->security().GetKeySecurity(key, platform::security_info::Dacl, buffer, needed), 0u);
    machine->registry().CloseKey(key);
    return platform::DescriptorToSddl(platform::ReadSelfRelative(buffer).value());
  }

  void SetFileSddl(const std::string& path, const std::string& sddl) {
    ASSERT_EQ(machine->security().SetFileSecurity(
                  path, platform::security_info::Dacl,
                  platform::WriteSelfRelative(platform::DescriptorFromSddl(sddl))),
              0u);
  }

  std::string FileSddl(const std::string& path) {
    std::vector<std::uint8_t> buffer(4096);
    std::uint32_t needed = 0;
    EXPECT_EQ(
        machine->security().GetFileSecurity(path, platform::security_info::Dacl, buffer, needed),
        0u);
    return platform::DescriptorToSddl(platform::ReadSelfRelative(buffer).value());
  }

  platform::testing::TempFolder folder;
  std::unique_ptr<SimMachine> machine;
  std::unique_ptr<platform::ScopedMachine> scope;
  forms::TComponent form{nullptr, "NTStuffForm"};
};

TEST_F(SecurityComponentsTest, KeyEntriesReadWithDisplayNamesAndWidenInPlace) {
  Open("nt4");
  MakeKey("SOFTWARE\\KV");
  TNTRegSecurity reg(form, "NTReg1");
  reg.SetCurrentPath("SOFTWARE\\KV");
  const std::string before = KeySddl("SOFTWARE\\KV");
  auto& allowed = reg.AccessAllowed();
  ASSERT_EQ(allowed.Count(), 5u);
  EXPECT_EQ(allowed[0].UserName(), "BUILTIN\\Administrators");
  EXPECT_EQ(allowed[0].Mask(), kFullControl);
  EXPECT_EQ(allowed[1].UserName(), "SYSTEM");
  EXPECT_EQ(allowed[2].UserName(), "BUILTIN\\Administrators");  // CREATOR OWNER became the owner
  EXPECT_EQ(allowed[3].UserName(), "CREATOR OWNER");
  EXPECT_EQ(allowed[4].UserName(), "Everyone");
  EXPECT_EQ(allowed[4].Mask(), 0x20019u);
  EXPECT_EQ(allowed[4].Flags(), ace_flags::acfContainer);
  EXPECT_EQ(allowed.NamePath(), "NTReg1.AccessAllowed");
  EXPECT_EQ(allowed[4].NamePath(), "NTReg1.AccessAllowed[4]");

  allowed[4].SetFlags(0);
  allowed[4].SetMask(kFullControl);
  std::string expected = before;
  expected.replace(expected.find("(A;CI;0x00020019;;;S-1-1-0)"), 27, "(A;;0x000F003F;;;S-1-1-0)");
  EXPECT_EQ(KeySddl("SOFTWARE\\KV"), expected);
  // The same key with a leading backslash, and the same values again, write nothing new.
  reg.SetCurrentPath("\\SOFTWARE\\KV");
  auto& again = reg.AccessAllowed();
  again[4].SetMask(kFullControl);
  EXPECT_EQ(KeySddl("SOFTWARE\\KV"), expected);
}

TEST_F(SecurityComponentsTest, EntriesNobodyChangedAreWrittenBackExactly) {
  Open("win2000");
  const std::string path = "C:\\WINNT\\SYSTEM32\\KVUS.DAT";
  MakeFile(path);
  // A denied entry, an explicit allowed one with a right the notation cannot show, an entry
  // of a type the components do not list, an inherited one and one for a deleted account.
  const std::string original =
      "D:(D;;0x00010000;;;S-1-5-32-545)(A;;0x001200A9;;;S-1-5-32-547)(0x00000011;0x00000000;;;;#"
      "0A0B0C0D)"
      "(A;;0x00000001;;;S-1-5-21-9-9-9-1234)(A;ID;0x001F01FF;;;S-1-5-18)";
  SetFileSddl(path, original);
  TNTFileSecurity file(form, "NTFS1");
  file.SetFileName(path);
  auto& allowed = file.AccessAllowed();
  ASSERT_EQ(allowed.Count(), 3u);
  EXPECT_EQ(allowed[1].UserName(), "S-1-5-21-9-9-9-1234");
  EXPECT_EQ(allowed[2].UserName(), "SYSTEM");
  EXPECT_EQ(file.AccessDenied().Count(), 1u);

  file.AccessAllowed().Add("Everyone", 7, 0);
  EXPECT_EQ(
      FileSddl(path),
      "D:(D;;0x00010000;;;S-1-5-32-545)(A;;0x001200A9;;;S-1-5-32-547)(0x00000011;;;;;#0A0B0C0D)"
      "(A;;0x00000001;;;S-1-5-21-9-9-9-1234)(A;;0x001201BF;;;S-1-1-0)(A;ID;0x001F01FF;;;S-1-5-18)");
  // A second installation adds a second entry; nothing is merged.
  file.AccessAllowed().Add("Everyone", 7, 0);
  EXPECT_EQ(file.AccessAllowed().Count(), 5u);
  // Changing the flags of the deleted account's entry keeps its mask and writes its SID back.
  auto& list = file.AccessAllowed();
  list[1].SetFlags(ace_flags::acfObjInherit);
  EXPECT_NE(FileSddl(path).find("(A;OI;0x00000001;;;S-1-5-21-9-9-9-1234)"), std::string::npos);
}

TEST_F(SecurityComponentsTest, ChoosingAnotherObjectDropsTheListsOfTheFirst) {
  Open("nt4");
  MakeFile("C:\\TEMP\\A.DAT");
  MakeFile("C:\\TEMP\\B.DAT");
  TNTFileSecurity file(form, "NTFS1");
  file.SetFileName("C:\\TEMP\\A.DAT");
  auto& list = file.AccessAllowed();
  ASSERT_EQ(list.Count(), 1u);
  file.SetFileName("C:\\TEMP\\B.DAT");
  EXPECT_EQ(list.Count(), 0u);
  list.Add("BUILTIN\\Users", 1, 0);
  EXPECT_EQ(FileSddl("C:\\TEMP\\B.DAT"),
            "D:(A;;0x001F01FF;;;S-1-1-0)(A;;0x00120089;;;S-1-5-32-545)");

  EXPECT_EQ(FileSddl("C:\\TEMP\\A.DAT"), "D:(A;;0x001F01FF;;;S-1-1-0)");
}

TEST_F(SecurityComponentsTest, FailuresRaiseWithCodeAndTextAndRestoreTheItem) {
  Open("nt4", SecurityChoices{.plainUser = true});
  TNTRegSecurity reg(form, "NTReg1");
  reg.SetCurrentPath("SOFTWARE");
  auto& allowed = reg.AccessAllowed();
  ASSERT_EQ(allowed.Count(), 4u);
  try {
    allowed[3].SetMask(kFullControl);
    FAIL();
  } catch (const ENTException& error) {
    EXPECT_STREQ(error.what(), "5: Access is denied.");
  }
  EXPECT_EQ(allowed[3].Mask(), 0x20019u);
  EXPECT_EQ(reg.SystemAudit().Count(), 0u);  // the token cannot enable the security privilege

  reg.SetCurrentPath("SOFTWARE\\NOWHERE");
  EXPECT_THROW(
      {
        try {
          reg.AccessAllowed();
        } catch (const ENTException& error) {
          EXPECT_STREQ(error.what(), "2: The system cannot find the file specified.");
          throw;
        }
      },
      ENTException);
  TNTFileSecurity file(form, "NTFS1");
  file.SetFileName("C:\\TEMP\\MISSING.DAT");
  EXPECT_THROW(file.AccessAllowed(), ENTException);
  file.SetFileName("C:\\TEMP");
  EXPECT_THROW(file.AccessAllowed().Add("Nobody At All", 1, 0), ENTException);
}

TEST_F(SecurityComponentsTest, OwnerAuditAndControlAccess) {
  Open("win2000");
  MakeKey("SOFTWARE\\KV");
  TNTRegSecurity reg(form, "NTReg1");
  reg.SetCurrentPath("SOFTWARE\\KV");
  EXPECT_EQ(reg.KeyOwner(), "BUILTIN\\Administrators");
  reg.SetKeyOwner("KORVANE-PC\\Administrator");
  EXPECT_EQ(reg.KeyOwner(), "KORVANE-PC\\Administrator");
  EXPECT_EQ(reg.SystemAudit().Count(), 0u);
  reg.SystemAudit().Add("Everyone", 0x20006, ace_flags::acfFailAudit | ace_flags::acfContainer);
  ASSERT_EQ(reg.SystemAudit().Count(), 1u);
  EXPECT_EQ(reg.SystemAudit()[0].Flags(), ace_flags::acfFailAudit);
  EXPECT_TRUE(reg.ControlAccess());
  reg.SetControlAccess(false);
  EXPECT_FALSE(reg.ControlAccess());
  EXPECT_EQ(reg.AccessAllowed().Count(), 0u);
  // A null list read as empty; adding an entry writes a list with that single entry.
  reg.AccessAllowed().Add("Everyone", kFullControl, 0);
  EXPECT_EQ(KeySddl("SOFTWARE\\KV"), "D:AI(A;;0x000F003F;;;S-1-1-0)");
}

TEST_F(SecurityComponentsTest, VolumesEncryptionAndOtherMachines) {
  Open("win2000");
  TNTFileSecurity file(form, "NTFS1");
  file.SetFileName("c:\\");
  EXPECT_EQ(file.FileSystem(), "NTFS");
  EXPECT_EQ(file.MachineName(), "");
  EXPECT_TRUE(file.Encryptable());
  EXPECT_FALSE(file.Encrypted());
  file.SetFileName("");
  EXPECT_EQ(file.FileSystem(), "");
  EXPECT_EQ(file.AccessAllowed().Count(), 0u);

  TNTRegSecurity reg(form, "NTReg1");
  reg.LogonAs().UserName = "admin";
  EXPECT_THROW(reg.SetMachineName("\\\\FARAWAY"), ENTException);
  reg.SetCurrentPath("SOFTWARE");
  EXPECT_THROW(reg.AccessAllowed(), ENTException);
}

TEST_F(SecurityComponentsTest, TheNinetyFiveFamilyHasNoSecurityApi) {
  Open("win98");
  TNTFileSecurity file(form, "NTFS1");
  file.SetFileName("C:\\WINDOWS");
  EXPECT_FALSE(file.Encrypted());
  try {
    file.AccessAllowed();
    FAIL();
  } catch (const ENTException& error) {
    EXPECT_STREQ(error.what(), "120: This function is not supported on this system.");
  }
}

}  // namespace
}  // namespace winsec
