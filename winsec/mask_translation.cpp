#include "winsec/mask_translation.hpp"

#include "platform/access_rules.hpp"
#include "platform/win_types.hpp"

namespace winsec {
namespace {

namespace right = platform::access_right;

constexpr std::uint32_t kGenericBits =
    right::GenericAll | right::GenericExecute | right::GenericWrite | right::GenericRead;
constexpr std::uint32_t kReadRights = 0x89;
constexpr std::uint32_t kWriteRights = 0x116;
constexpr std::uint32_t kExecuteRights = 0xA0;

bool HasAll(std::uint32_t mask, std::uint32_t bits) {
  return (mask & bits) == bits;
}

}  // namespace

std::uint32_t FileAllowedMaskFromNative(std::uint32_t native) {
  if (HasAll(native, right::FileAllAccess)) return kFullControl | (native & kGenericBits);
  std::uint32_t mask = native & kGenericBits;
  if (native & right::Delete) mask |= 0x08;
  if (HasAll(native, kReadRights)) mask |= 0x01;
  if (native & right::WriteDac) mask |= 0x10;
  if (native & right::WriteOwner) mask |= 0x20;
  if (HasAll(native, kExecuteRights)) mask |= 0x04;
  if (HasAll(native, kWriteRights)) mask |= 0x02;
  return mask;
}

std::uint32_t FileDeniedMaskFromNative(std::uint32_t native) {
  if (native == right::FileAllAccess) return kFullControl | right::GenericAll;
  return FileAllowedMaskFromNative(native);
}

std::uint32_t FileDeniedMaskToNative(std::uint32_t mask) {
  std::uint32_t native = mask & kGenericBits;
  if (mask & kFullControl) return native | right::FileAllAccess;
  if (mask & 0x08) native |= right::Delete;
  if (mask & 0x10) native |= right::WriteDac;
  if (mask & 0x20) native |= right::WriteOwner;
  if (mask & 0x04) native |= kExecuteRights;
  if (mask & 0x01) native |= kReadRights;
  if (mask & 0x02) native |= kWriteRights;
  return native;
}

std::uint32_t FileAllowedMaskToNative(std::uint32_t mask) {
  std::uint32_t native = FileDeniedMaskToNative(mask);
  if (mask & 0x07) native |= right::ReadControl | right::Synchronize;
  return native;
}

std::uint32_t FileAuditMaskToNative(std::uint32_t mask) {
  return FileAllowedMaskToNative(mask) | right::AccessSystemSecurity;
}

std::uint32_t KeyMaskFromNative(std::uint32_t native) {
  return native == platform::key_access::AllAccess ? kFullControl : native;
}

std::uint32_t KeyMaskToNative(std::uint32_t mask) {
  return mask == kFullControl ? platform::key_access::AllAccess : mask;
}

}  // namespace winsec
