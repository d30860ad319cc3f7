#pragma once
// The security API of a machine that has none: the Windows 95 family, whose advapi32 stubs
// answer CallNotImplemented (120) to every call, and hosts without Windows security.
#include "platform/security.hpp"

namespace platform {

class NoSecurity final : public Security {
 public:
  ErrorCode LookupAccountSid(std::string_view, std::span<const std::uint8_t>, std::string&,
                             std::string&, SidUse&) override;
  ErrorCode LookupAccountName(std::string_view, std::string_view, std::span<std::uint8_t>,
                              std::uint32_t&, std::string&, SidUse&) override;
  ErrorCode GetFileSecurity(std::string_view, std::uint32_t, std::span<std::uint8_t>,
                            std::uint32_t&) override;
  ErrorCode SetFileSecurity(std::string_view, std::uint32_t,
                            std::span<const std::uint8_t>) override;
  ErrorCode GetKeySecurity(KeyHandle, std::uint32_t, std::span<std::uint8_t>,
                           std::uint32_t&) override;
  ErrorCode SetKeySecurity(KeyHandle, std::uint32_t, std::span<const std::uint8_t>) override;
  ErrorCode ConnectRegistry(std::string_view, KeyHandle, KeyHandle&) override;
  ErrorCode AddConnection(std::string_view, std::string_view, std::string_view) override;
  ErrorCode CancelConnection(std::string_view) override;
  ErrorCode DriveConnection(std::string_view, std::string&) override;
  ErrorCode LookupPrivilegeValue(std::string_view, std::uint64_t&) override;
  ErrorCode TokenPrivileges(std::vector<TokenPrivilege>&) override;
  ErrorCode AdjustTokenPrivileges(std::span<const TokenPrivilege>) override;
  // GetDriveType and the volume calls are kernel32's and work on every Windows; without a
  // model of the drives the answer is that the type cannot be told.
  DriveType DriveTypeOf(std::string_view) override { return DriveType::Unknown; }
  ErrorCode FileEncryptionStatus(std::string_view, std::uint32_t&) override;
  ErrorCode SetFileEncrypted(std::string_view, bool) override;
};

}  // namespace platform
