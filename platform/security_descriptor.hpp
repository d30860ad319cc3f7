#pragma once
// Access lists and security descriptors in the binary layout Windows uses. An ACL is the
// 8-byte header (revision, padding, 16-bit size, 16-bit ACE count, padding) followed by its
// ACEs, each a 4-byte header (type, flags, 16-bit size) and a body; the body of the allowed,
// denied, audit and alarm types is a 32-bit mask and a SID, any other body is kept as bytes.
// A self-relative descriptor is the 20-byte header (revision, padding, control, offsets of
// owner, group, SACL and DACL) followed by those parts; the structured form below is the
// absolute one. A DACL that is present without an ACL (a null DACL) grants everything; a
// present empty ACL grants nothing; a DACL that is not present is missing.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/sid.hpp"

namespace platform {

namespace ace_type {
inline constexpr std::uint8_t AccessAllowed = 0;
inline constexpr std::uint8_t AccessDenied = 1;
inline constexpr std::uint8_t SystemAudit = 2;
inline constexpr std::uint8_t SystemAlarm = 3;
}  // namespace ace_type

namespace ace_flag {
inline constexpr std::uint8_t ObjectInherit = 0x01;
inline constexpr std::uint8_t ContainerInherit = 0x02;
inline constexpr std::uint8_t NoPropagateInherit = 0x04;
inline constexpr std::uint8_t InheritOnly = 0x08;
inline constexpr std::uint8_t Inherited = 0x10;
inline constexpr std::uint8_t SuccessfulAccess = 0x40;
inline constexpr std::uint8_t FailedAccess = 0x80;
}  // namespace ace_flag

namespace sd_control {
inline constexpr std::uint16_t OwnerDefaulted = 0x0001;
inline constexpr std::uint16_t GroupDefaulted = 0x0002;
inline constexpr std::uint16_t DaclPresent = 0x0004;
inline constexpr std::uint16_t DaclDefaulted = 0x0008;
inline constexpr std::uint16_t SaclPresent = 0x0010;
inline constexpr std::uint16_t SaclDefaulted = 0x0020;
inline constexpr std::uint16_t DaclAutoInheritReq = 0x0100;
inline constexpr std::uint16_t SaclAutoInheritReq = 0x0200;
inline constexpr std::uint16_t DaclAutoInherited = 0x0400;
inline constexpr std::uint16_t SaclAutoInherited = 0x0800;
inline constexpr std::uint16_t DaclProtected = 0x1000;
inline constexpr std::uint16_t SaclProtected = 0x2000;
inline constexpr std::uint16_t SelfRelative = 0x8000;
}  // namespace sd_control

namespace security_info {
inline constexpr std::uint32_t Owner = 1;
inline constexpr std::uint32_t Group = 2;
inline constexpr std::uint32_t Dacl = 4;
inline constexpr std::uint32_t Sacl = 8;
}  // namespace security_info

inline constexpr std::uint8_t kAclRevision = 2;
inline constexpr std::size_t kMaxAclSize = 0xFFFF;

struct Ace {
  std::uint8_t type = ace_type::AccessAllowed;
  std::uint8_t flags = 0;
  std::uint32_t mask = 0;
  Sid sid;                         // the allowed, denied, audit and alarm types
  std::vector<std::uint8_t> body;  // every other type: the bytes after the ACE header

  static bool HasMaskAndSid(std::uint8_t type) { return type <= ace_type::SystemAlarm; }
  std::size_t Size() const;
  friend bool operator==(const Ace&, const Ace&) = default;
};

struct Acl {
  std::uint8_t revision = kAclRevision;
  std::vector<Ace> aces;

  std::size_t Size() const;  // header and ACEs
  friend bool operator==(const Acl&, const Acl&) = default;
};

// Which of the three states a DACL or SACL is in.
enum class AclState { Missing, Null, Present };

struct SecurityDescriptor {
  std::uint8_t revision = 1;
  // Defaulted, auto-inherit and protection bits; the present and self-relative bits follow
  // from the parts below and are set when the descriptor is written.
  std::uint16_t control = 0;
  std::optional<Sid> owner;
  std::optional<Sid> group;
  AclState daclState = AclState::Missing;
  Acl dacl;
  AclState saclState = AclState::Missing;
  Acl sacl;

  friend bool operator==(const SecurityDescriptor&, const SecurityDescriptor&) = default;
};

// The ACL's bytes. Throws platform::Exception for an ACL over 65535 bytes or an ACE over
// 65535 bytes: sizes are never wrapped.
std::vector<std::uint8_t> WriteAcl(const Acl& acl);
// The ACL at the start of the bytes; nothing when its header, sizes or ACEs do not hold.
std::optional<Acl> ReadAcl(std::span<const std::uint8_t> bytes);

// MakeSelfRelativeSD. Throws platform::Exception as WriteAcl does.
std::vector<std::uint8_t> WriteSelfRelative(const SecurityDescriptor& descriptor);
// MakeAbsoluteSD of self-relative bytes; nothing when they are not a valid descriptor.
std::optional<SecurityDescriptor> ReadSelfRelative(std::span<const std::uint8_t> bytes);

// The descriptor with only the parts a SECURITY_INFORMATION value names.
SecurityDescriptor SelectParts(const SecurityDescriptor& descriptor, std::uint32_t information);
// `target` with the parts the information names taken from `source`.
void ReplaceParts(SecurityDescriptor& target, const SecurityDescriptor& source,
                  std::uint32_t information);

}  // namespace platform
