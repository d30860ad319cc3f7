#include "platform/access_rules.hpp"

#include <gtest/gtest.h>

#include "platform/sddl.hpp"

namespace platform {
namespace {

const std::vector<Sid> kPlainUser = {MakeSid(5, {21, 1, 2, 3, 1001}), well_known_sid::Everyone(),
                                     well_known_sid::Users()};
const std::vector<Sid> kAdministrator = {MakeSid(5, {21, 1, 2, 3, 500}), well_known_sid::Everyone(),
                                         well_known_sid::Administrators()};

TEST(AccessRules, DaclDecidesInOrderWithDeniedEntriesStopping) {
  const auto descriptor = DescriptorFromSddl(
      "O:S-1-5-32-544D:(D;;0x00040000;;;S-1-5-32-545)(A;;0x000F003F;;;S-1-5-32-544)"
      "(A;;0x80000000;;;S-1-1-0)(A;IO;0x10000000;;;S-1-5-32-545)");
  EXPECT_TRUE(AccessGranted(descriptor, kPlainUser, 0x20019, kKeyMapping));
  EXPECT_FALSE(AccessGranted(descriptor, kPlainUser, access_right::WriteDac, kKeyMapping));
  EXPECT_FALSE(AccessGranted(descriptor, kPlainUser, 0x2, kKeyMapping));  // inherit-only skipped
  EXPECT_TRUE(AccessGranted(descriptor, kAdministrator, access_right::WriteDac | 0x2, kKeyMapping));
}

TEST(AccessRules, NullDaclGrantsAllAndEmptyDaclOnlyTheOwner) {
  EXPECT_TRUE(
      AccessGranted(DescriptorFromSddl("D:NO_ACCESS_CONTROL"), kPlainUser, 0xF003F, kKeyMapping));
  const auto empty = DescriptorFromSddl("O:S-1-5-32-544D:");
  EXPECT_FALSE(AccessGranted(empty, kPlainUser, access_right::ReadControl, kFileMapping));
  EXPECT_TRUE(AccessGranted(empty, kAdministrator, access_right::WriteDac, kFileMapping));
  EXPECT_FALSE(AccessGranted(empty, kAdministrator, 0x1, kFileMapping));
}

TEST(AccessRules, ChildrenInheritAsNtDoes) {
  const auto parent = DescriptorFromSddl(
      "O:S-1-5-32-544D:P(A;OICI;0x001F01FF;;;S-1-5-32-544)(A;CI;0x00020019;;;S-1-1-0)"
      "(A;OI;0x001200A9;;;S-1-5-32-545)(A;OICINP;0x00000001;;;S-1-5-18)(A;;0x1;;;S-1-5-11)");
  const NewObjectOwner creator{well_known_sid::Administrators(), well_known_sid::LocalSystem()};
  EXPECT_EQ(DescriptorToSddl(InheritedDescriptor(parent, false, false, creator, kFileMapping)),
            "O:S-1-5-32-544G:S-1-5-18D:(A;;0x001F01FF;;;S-1-5-32-544)"
            "(A;;0x001200A9;;;S-1-5-32-545)(A;;0x00000001;;;S-1-5-18)");
  EXPECT_EQ(DescriptorToSddl(InheritedDescriptor(parent, true, true, creator, kFileMapping)),
            "O:S-1-5-32-544G:S-1-5-18D:AI(A;OICIID;0x001F01FF;;;S-1-5-32-544)"
            "(A;CIID;0x00020019;;;S-1-1-0)(A;OIIOID;0x001200A9;;;S-1-5-32-545)"
            "(A;ID;0x00000001;;;S-1-5-18)");
  const auto withCreator = DescriptorFromSddl("D:(A;OICIIO;0x10000000;;;S-1-3-0)");
  EXPECT_EQ(DescriptorToSddl(InheritedDescriptor(withCreator, false, false, creator, kFileMapping)),
            "O:S-1-5-32-544G:S-1-5-18D:(A;;0x001F01FF;;;S-1-5-32-544)");
  EXPECT_EQ(
      DescriptorToSddl(InheritedDescriptor(withCreator, true, false, creator, kKeyMapping)),
      "O:S-1-5-32-544G:S-1-5-18D:(A;;0x000F003F;;;S-1-5-32-544)(A;OICIIO;0x10000000;;;S-1-3-0)");
  EXPECT_EQ(InheritedDescriptor(DescriptorFromSddl("D:NO_ACCESS_CONTROL"), true, false, creator,
                                kKeyMapping)
                .daclState,
            AclState::Null);
}

}  // namespace
}  // namespace platform
