#include "winsec/mask_translation.hpp"

#include <gtest/gtest.h>

#include "winsec/access_list.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/sid_store.hpp"

namespace winsec {
namespace {

TEST(MaskTranslation, FileMasksRoundTripAsTheComponentsShowThem) {
  EXPECT_EQ(FileAllowedMaskFromNative(0x1F01FF), kFullControl);
  EXPECT_EQ(FileAllowedMaskToNative(kFullControl), 0x1F01FFu);
  EXPECT_EQ(FileAllowedMaskFromNative(0x1201BF), 0x07u);
  EXPECT_EQ(FileAllowedMaskToNative(0x07), 0x1201BFu);
  EXPECT_EQ(FileDeniedMaskFromNative(0x1F01FF), 0x18000000u);
  EXPECT_EQ(FileDeniedMaskToNative(0x18000000), 0x101F01FFu);
  EXPECT_EQ(FileAllowedMaskFromNative(0x1F01FF | 0x80000000), kFullControl | 0x80000000);
  EXPECT_EQ(FileAllowedMaskFromNative(0x10000 | 0x40000 | 0x80000), 0x38u);
  EXPECT_EQ(FileAuditMaskToNative(0x01), 0x1120089u);
  EXPECT_EQ(FileDeniedMaskToNative(0x08), 0x10000u);
}

TEST(MaskTranslation, KeyMasksChangeOnlyFullControl) {
  EXPECT_EQ(KeyMaskFromNative(0xF003F), kFullControl);
  EXPECT_EQ(KeyMaskToNative(kFullControl), 0xF003Fu);
  EXPECT_EQ(KeyMaskFromNative(0x20019), 0x20019u);
  EXPECT_EQ(KeyMaskToNative(0x20019), 0x20019u);
}

TEST(AceFlags, SetElementsMapToHeaderBitsAndTheInheritedMarkIsNotOne) {
  EXPECT_EQ(AceFlagsToNative(ace_flags::acfInheritOnly | ace_flags::acfNoPropogate), 0x0Cu);
  EXPECT_EQ(AceFlagsFromNative(0x08), ace_flags::acfInheritOnly);
  EXPECT_EQ(AceFlagsFromNative(0x04), ace_flags::acfNoPropogate);
  EXPECT_EQ(AceFlagsFromNative(0xC0), ace_flags::acfSuccAudit | ace_flags::acfFailAudit);
  EXPECT_EQ(AceFlagsFromNative(0x13), ace_flags::acfObjInherit | ace_flags::acfContainer);
}

TEST(NTException, EveryMessageForm) {
  EXPECT_STREQ(ENTException::Process(5).what(), "Error 5 : Access is denied.");
  EXPECT_STREQ(ENTException::Process(99999).what(), "Error 99999");
  EXPECT_STREQ(ENTException::Process(2221).what(),
               "Error 2221 : The user name could not be found.");
  EXPECT_STREQ(ENTException::System(5).what(), "5: Access is denied.");
  EXPECT_STREQ(ENTException::Network(2221).what(), "2221: The user name could not be found.");
  EXPECT_STREQ(ENTException::Network(2).what(), "2: The system cannot find the file specified.");
  EXPECT_STREQ(ENTException::Library("radmin32.dll").what(),
               "Cannot load library \"radmin32.dll\" or linked libraries");
  EXPECT_EQ(ENTException::System(1332).Code(), 1332u);
  EXPECT_THROW(CheckSystem(1300), ENTException);
  EXPECT_NO_THROW(CheckSystem(0));
}

TEST(SidStore, KeepsEntriesOrderedByLengthThenBytes) {
  TSidStore store;
  const std::vector<std::uint8_t> longer = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 32, 2, 0, 0};
  const std::vector<std::uint8_t> shorter = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
  const std::vector<std::uint8_t> everyone = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
  store.Add(longer, "Administrators", "BUILTIN");
  store.Add(shorter, "SYSTEM", "");
  store.Add(everyone, "Everyone", "");
  store.Add(everyone, "Jeder", "");
  EXPECT_EQ(store.Count(), 3u);
  ASSERT_NE(store.Find(everyone), nullptr);
  EXPECT_EQ(store.Find(everyone)->name, "Everyone");
  EXPECT_EQ(store.Find(longer)->domain, "BUILTIN");
  EXPECT_EQ(store.Find(std::vector<std::uint8_t>{1, 1, 0, 0, 0, 0, 0, 5, 19, 0, 0, 0}), nullptr);
}

}  // namespace
}  // namespace winsec
