#include "platform/security_descriptor.hpp"

#include <gtest/gtest.h>

#include <random>

#include "platform/access_rules.hpp"
#include "platform/exception.hpp"
#include "platform/sddl.hpp"
#include "platform/system_messages.hpp"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

Ace Entry(std::uint8_t type, std::uint8_t flags, std::uint32_t mask, Sid sid) {
  Ace ace;
  ace.type = type;
  ace.flags = flags;
  ace.mask = mask;
  ace.sid = std::move(sid);
  return ace;
}

TEST(Sid, BinaryLayoutHasABigEndianAuthorityAndLittleEndianSubAuthorities) {
  const Sid admins = well_known_sid::Administrators();
  EXPECT_EQ(admins.Bytes(), (Bytes{1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0, 0x20, 2, 0, 0}));
  EXPECT_EQ(admins.Text(), "S-1-5-32-544");
  EXPECT_EQ(ReadSid(admins.Bytes()), admins);
  EXPECT_EQ(MakeSid(0x123456789ABCull, {7}).Text(), "S-1-0x123456789ABC-7");
}

TEST(Sid, TextIsAcceptedOnlyWhenDecimalAndWithinRange) {
  EXPECT_EQ(ParseSidText("S-1-5-21-1-2-3-500"), MakeSid(5, {21, 1, 2, 3, 500}));
  EXPECT_EQ(ParseSidText("S-1-1-0"), well_known_sid::Everyone());
  EXPECT_EQ(ParseSidText("S-1-5-32-544", 8), well_known_sid::Administrators());
  EXPECT_EQ(ParseSidText("S-1-0x123456789ABC-7"), MakeSid(0x123456789ABCull, {7}));
  for (const char* bad : {"", "S-", "S-1", "S-2-5-32", "S-1-5-x", "S-1-5--1", "S-1-5-4294967296",
                          "S-1-281474976710656-1", "S-1-5-+3", "X-1-5-32", "S-1-5-32-544 ",
                          "S-1-5-1-2-3-4-5-6-7-8-9", "S-1-0x0000000000FF-1"})
    EXPECT_FALSE(ParseSidText(bad, 8)) << bad;
  EXPECT_FALSE(ReadSid(Bytes{1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0}));  // one sub-authority short
  EXPECT_FALSE(ReadSid(Bytes{2, 0, 0, 0, 0, 0, 0, 5}));                 // revision 2
}

TEST(Acl, BinaryLayoutIsRevisionTwoWithSizesAndEntries) {
  Acl acl;
  acl.aces.push_back(Entry(ace_type::AccessAllowed, ace_flag::ContainerInherit, 0xF003F,
                           well_known_sid::Everyone()));
  const Bytes bytes = WriteAcl(acl);
  EXPECT_EQ(bytes, (Bytes{2, 0, 28, 0, 1,    0, 0,    0,                 // header
                          0, 2, 20, 0, 0x3F, 0, 0x0F, 0,                 // ACE header and mask
                          1, 1, 0,  0, 0,    0, 0,    1, 0, 0, 0, 0}));  // S-1-1-0
  EXPECT_EQ(ReadAcl(bytes), acl);
}

TEST(Acl, OverSizeIsRefusedNotWrapped) {
  Acl acl;
  const Sid big = MakeSid(5, {21, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});  // 68 bytes
  while (acl.Size() <= kMaxAclSize)
    acl.aces.push_back(Entry(ace_type::AccessAllowed, 0, 1, big));
  EXPECT_THROW(WriteAcl(acl), Exception);
  acl.aces.pop_back();
  EXPECT_EQ(WriteAcl(acl).size(), acl.Size());
}

TEST(Acl, DamagedBytesAreNotAnAcl) {
  Acl acl;
  acl.aces.push_back(Entry(ace_type::AccessDenied, 0, 1, well_known_sid::Users()));
  Bytes bytes = WriteAcl(acl);
  Bytes shortened(bytes.begin(), bytes.end() - 4);
  EXPECT_FALSE(ReadAcl(shortened));
  bytes[4] = 2;  // claims two entries
  EXPECT_FALSE(ReadAcl(bytes));
}

TEST(SelfRelative, NullEmptyAndMissingDaclsStayDistinct) {
  SecurityDescriptor missing;
  missing.owner = well_known_sid::Administrators();
  SecurityDescriptor null = missing;
  null.daclState = AclState::Null;
  SecurityDescriptor empty = missing;
  empty.daclState = AclState::Present;
  for (const auto* descriptor : {&missing, &null, &empty}) {
    const Bytes bytes = WriteSelfRelative(*descriptor);
    EXPECT_EQ(ReadSelfRelative(bytes), *descriptor);
    EXPECT_EQ(DescriptorFromSddl(DescriptorToSddl(*descriptor)), *descriptor);
  }
  EXPECT_EQ(DescriptorToSddl(missing), "O:S-1-5-32-544");
  EXPECT_EQ(DescriptorToSddl(null), "O:S-1-5-32-544D:NO_ACCESS_CONTROL");
  EXPECT_EQ(DescriptorToSddl(empty), "O:S-1-5-32-544D:");
  const Bytes header = WriteSelfRelative(null);
  EXPECT_EQ(header[2] & sd_control::DaclPresent, sd_control::DaclPresent);
  EXPECT_EQ(header[16] | header[17] | header[18] | header[19], 0);  // no DACL offset
}

TEST(SelfRelative, DamagedDescriptorsAreRefused) {
  SecurityDescriptor descriptor;
  descriptor.owner = well_known_sid::LocalSystem();
  Bytes bytes = WriteSelfRelative(descriptor);
  EXPECT_FALSE(ReadSelfRelative(Bytes(bytes.begin(), bytes.begin() + 19)));
  bytes[4] = 0xF0;  // owner offset past the end
  EXPECT_FALSE(ReadSelfRelative(bytes));
}

// Descriptors with every kind of part: owners and groups or none, each ACL missing, null,
// empty or filled, inherited and unknown entries, every control bit text can carry.
SecurityDescriptor GeneratedDescriptor(std::mt19937& random) {
  const auto pick = [&](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
  const auto sid = [&] {
    Sid made = MakeSid(pick(2) ? 5 : 0x1234567890ull, {});
    for (std::uint32_t i = 0, n = pick(9); i < n; ++i)
      made.subAuthorities.push_back(static_cast<std::uint32_t>(random()));
    return made;
  };
  const auto acl = [&](AclState& state, Acl& list) {
    state = static_cast<AclState>(pick(3));
    if (state != AclState::Present) return;
    for (std::uint32_t i = 0, n = pick(6); i < n; ++i) {
      Ace ace = Entry(static_cast<std::uint8_t>(pick(4)), static_cast<std::uint8_t>(random()),
                      static_cast<std::uint32_t>(random()), sid());
      if (pick(5) == 0) {
        ace.type = static_cast<std::uint8_t>(4 + pick(250));
        ace.sid = Sid{};
        ace.mask = 0;
        ace.body.resize(4 * pick(5));
        for (auto& byte : ace.body)
          byte = static_cast<std::uint8_t>(random());
      }
      list.aces.push_back(std::move(ace));
    }
  };
  SecurityDescriptor descriptor;
  if (pick(3)) descriptor.owner = sid();
  if (pick(3)) descriptor.group = sid();
  acl(descriptor.daclState, descriptor.dacl);
  acl(descriptor.saclState, descriptor.sacl);
  constexpr std::uint16_t kTextBits[] = {
      sd_control::DaclProtected, sd_control::DaclAutoInherited, sd_control::DaclAutoInheritReq,
      sd_control::SaclProtected, sd_control::SaclAutoInherited, sd_control::SaclAutoInheritReq};
  for (std::uint16_t bit : kTextBits) {
    const bool dacl = bit == sd_control::DaclProtected || bit == sd_control::DaclAutoInherited ||
                      bit == sd_control::DaclAutoInheritReq;
    const AclState state = dacl ? descriptor.daclState : descriptor.saclState;
    if (state != AclState::Missing && pick(2)) descriptor.control |= bit;
  }
  return descriptor;
}

TEST(SelfRelative, GeneratedDescriptorsRoundTripThroughBytesAndText) {
  std::mt19937 random(20261208);
  for (int i = 0; i < 2000; ++i) {
    const SecurityDescriptor descriptor = GeneratedDescriptor(random);
    const Bytes bytes = WriteSelfRelative(descriptor);
    const auto read = ReadSelfRelative(bytes);
    ASSERT_TRUE(read) << DescriptorToSddl(descriptor);
    EXPECT_EQ(*read, descriptor) << DescriptorToSddl(descriptor);
    const std::string text = DescriptorToSddl(*read);
    const SecurityDescriptor fromText = DescriptorFromSddl(text);
    EXPECT_EQ(fromText, descriptor) << text;
    EXPECT_EQ(WriteSelfRelative(fromText), bytes) << text;
  }
}

TEST(Sddl, EntriesReadAsWritten) {
  const auto descriptor = DescriptorFromSddl(
      "O:S-1-5-32-544G:S-1-5-18D:PAI(D;;0x001F01FF;;;S-1-5-32-545)(A;OICIID;0x10000000;;;S-1-1-0)"
      "(0x11;0x00000020;;;;#0A0B0C0D)S:(AU;SAFA;0x00000001;;;S-1-1-0)");
  ASSERT_EQ(descriptor.dacl.aces.size(), 3u);
  EXPECT_EQ(descriptor.control, sd_control::DaclProtected | sd_control::DaclAutoInherited);
  EXPECT_EQ(descriptor.dacl.aces[1].flags,
            ace_flag::ObjectInherit | ace_flag::ContainerInherit | ace_flag::Inherited);
  EXPECT_EQ(descriptor.dacl.aces[2].type, 0x11);
  EXPECT_EQ(descriptor.dacl.aces[2].flags, 0x20);
  EXPECT_EQ(descriptor.dacl.aces[2].body, (Bytes{10, 11, 12, 13}));
  EXPECT_EQ(descriptor.sacl.aces[0].flags, ace_flag::SuccessfulAccess | ace_flag::FailedAccess);
}

TEST(Sddl, MalformedTextIsRefusedWithItsReason) {
  for (const char* bad : {"X:S-1-1-0", "O:S-1", "D:(A;;0x1;;;S-1-1-0", "D:(A;;1;;;S-1-1-0)",
                          "D:(A;XX;0x1;;;S-1-1-0)", "D:(Q;;0x1;;;S-1-1-0)", "D:(A;;0x1;;S-1-1-0)",
                          "D:NO_ACCESS_CONTROL(A;;0x1;;;S-1-1-0)", "D:ZZ", "D:(0x20;;;;;#ABC)"}) {
    try {
      DescriptorFromSddl(bad);
      ADD_FAILURE() << bad;
    } catch (const Exception& error) {
      EXPECT_NE(std::string(error.what()).find("is malformed"), std::string::npos) << bad;
    }
  }
}

TEST(SystemMessages, TextsHaveNoLineEnd) {
  EXPECT_EQ(SystemMessageText(5), "Access is denied.");
  EXPECT_EQ(SystemMessageText(1332), "No mapping between account names and security IDs was done.");
  EXPECT_EQ(NetworkMessageText(2221), "The user name could not be found.");
  EXPECT_EQ(SystemMessageText(999999), "");
  EXPECT_EQ(NetworkMessageText(5), "");
}

}  // namespace
}  // namespace platform
