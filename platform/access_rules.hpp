#pragma once
// How a Windows NT machine applies descriptors: the access check of an opening program
// against a DACL, and the descriptor a new file, folder or key receives from its parent.
#include <cstdint>
#include <vector>

#include "platform/security_descriptor.hpp"

namespace platform {

namespace access_right {
inline constexpr std::uint32_t Delete = 0x00010000;
inline constexpr std::uint32_t ReadControl = 0x00020000;
inline constexpr std::uint32_t WriteDac = 0x00040000;
inline constexpr std::uint32_t WriteOwner = 0x00080000;
inline constexpr std::uint32_t Synchronize = 0x00100000;
inline constexpr std::uint32_t AccessSystemSecurity = 0x01000000;
inline constexpr std::uint32_t GenericAll = 0x10000000;
inline constexpr std::uint32_t GenericExecute = 0x20000000;
inline constexpr std::uint32_t GenericWrite = 0x40000000;
inline constexpr std::uint32_t GenericRead = 0x80000000;
inline constexpr std::uint32_t FileAllAccess = 0x001F01FF;
}  // namespace access_right

// The specific rights each generic right stands for on one kind of object.
struct GenericMapping {
  std::uint32_t read, write, execute, all;
  std::uint32_t Map(std::uint32_t mask) const;
};
inline constexpr GenericMapping kFileMapping{0x120089, 0x120116, 0x1200A0, 0x1F01FF};
inline constexpr GenericMapping kKeyMapping{0x20019, 0x20006, 0x20019, 0xF003F};

// AccessCheck: whether a token holding these SIDs gets every right asked for. A null or
// missing DACL grants all; entries are taken in order, inherit-only ones skipped, a denied
// right stops the check. The owner may always read and change the access list.
// ACCESS_SYSTEM_SECURITY is a matter of privilege, not of the DACL, and is not checked here.
bool AccessGranted(const SecurityDescriptor& descriptor, const std::vector<Sid>& tokenSids,
                   std::uint32_t desired, const GenericMapping& mapping);

struct NewObjectOwner {
  Sid owner;
  Sid group;
};
// The descriptor of a new object under `parent`: the parent's inheritable entries (object
// inherit for a file, container inherit for a folder or key; CREATOR OWNER becoming the
// owner), with the auto-inherit marks of Windows 2000 when `markInherited` is set (NT 4
// copies the entries unmarked).
SecurityDescriptor InheritedDescriptor(const SecurityDescriptor& parent, bool container,
                                       bool markInherited, const NewObjectOwner& creator,
                                       const GenericMapping& mapping);

}  // namespace platform
