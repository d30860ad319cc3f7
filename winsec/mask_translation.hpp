#pragma once
// The components' own access-mask notation and the platform's masks. Files: 0x01 read,
// 0x02 write, 0x04 execute, 0x08 delete, 0x10 change permissions, 0x20 take ownership,
// 0x08000000 full control, generic bits passed through. Keys: 0x08000000 is KEY_ALL_ACCESS,
// every other value is the platform's mask itself.
#include <cstdint>

namespace winsec {

inline constexpr std::uint32_t kFullControl = 0x08000000;

std::uint32_t FileAllowedMaskFromNative(std::uint32_t native);  // also the audit one
std::uint32_t FileDeniedMaskFromNative(std::uint32_t native);
std::uint32_t FileDeniedMaskToNative(std::uint32_t mask);
std::uint32_t FileAllowedMaskToNative(std::uint32_t mask);
std::uint32_t FileAuditMaskToNative(std::uint32_t mask);

std::uint32_t KeyMaskFromNative(std::uint32_t native);
std::uint32_t KeyMaskToNative(std::uint32_t mask);

}  // namespace winsec
