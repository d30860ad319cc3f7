#pragma once
// The Windows security API (advapi32 with the few kernel32 and mpr calls it goes with),
// shaped like the calls: every operation returns a Win32 error number. Descriptors travel in
// self-relative form (the bytes GetFileSecurity and RegGetKeySecurity fill in). On the
// Windows 95 family every call answers CallNotImplemented (120), as the stubs there do.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

// SID_NAME_USE.
enum class SidUse : std::uint32_t {
  User = 1,
  Group = 2,
  Domain = 3,
  Alias = 4,
  WellKnownGroup = 5,
  DeletedAccount = 6,
  Invalid = 7,
  Unknown = 8,
  Computer = 9,
};

struct TokenPrivilege {  // LUID_AND_ATTRIBUTES
  std::uint64_t luid = 0;
  std::uint32_t attributes = 0;
};
inline constexpr std::uint32_t kPrivilegeEnabled = 2;  // SE_PRIVILEGE_ENABLED

// GetDriveType.
enum class DriveType : std::uint32_t {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// FileEncryptionStatus.
namespace encryption_status {
inline constexpr std::uint32_t Encryptable = 0;
inline constexpr std::uint32_t Encrypted = 1;
inline constexpr std::uint32_t FileSystemNotSupported = 4;
inline constexpr std::uint32_t ReadOnly = 8;
}  // namespace encryption_status

class Security {
 public:
  virtual ~Security() = default;

  // LookupAccountSidA on a machine ("" or "\\NAME"): NoneMapped for a SID without an account.
  virtual ErrorCode LookupAccountSid(std::string_view machine, std::span<const std::uint8_t> sid,
                                     std::string& name, std::string& domain, SidUse& use) = 0;
  // LookupAccountNameA: InsufficientBuffer with `sidSize` set to the size needed when the
  // buffer is shorter (a first call with an empty buffer learns it); NoneMapped for an unknown
  // name. "DOMAIN\name" names the domain too.
  virtual ErrorCode LookupAccountName(std::string_view machine, std::string_view account,
                                      std::span<std::uint8_t> sid, std::uint32_t& sidSize,
                                      std::string& domain, SidUse& use) = 0;

  // GetFileSecurityA / SetFileSecurityA for a SECURITY_INFORMATION value. A read into a
  // buffer that is too short answers InsufficientBuffer with `needed` set. Asking for the
  // SACL needs the security privilege enabled (PrivilegeNotHeld). A volume without access
  // lists answers NoSecurityOnObject.
  virtual ErrorCode GetFileSecurity(std::string_view path, std::uint32_t information,
                                    std::span<std::uint8_t> buffer, std::uint32_t& needed) = 0;
  virtual ErrorCode SetFileSecurity(std::string_view path, std::uint32_t information,
                                    std::span<const std::uint8_t> descriptor) = 0;
  // RegGetKeySecurity / RegSetKeySecurity on a key opened with the rights the information
  // needs (READ_CONTROL, WRITE_DAC, WRITE_OWNER, ACCESS_SYSTEM_SECURITY): AccessDenied else.
  virtual ErrorCode GetKeySecurity(KeyHandle key, std::uint32_t information,
                                   std::span<std::uint8_t> buffer, std::uint32_t& needed) = 0;
  virtual ErrorCode SetKeySecurity(KeyHandle key, std::uint32_t information,
                                   std::span<const std::uint8_t> descriptor) = 0;
  // RegConnectRegistryA: a predefined key of another machine.
  virtual ErrorCode ConnectRegistry(std::string_view machine, KeyHandle root,
                                    KeyHandle& result) = 0;
  // WNetAddConnection2A / WNetCancelConnection2A of a share ("\\NAME\IPC$").
  virtual ErrorCode AddConnection(std::string_view remoteName, std::string_view user,
                                  std::string_view password) = 0;
  virtual ErrorCode CancelConnection(std::string_view remoteName) = 0;
  // WNetGetConnectionA: the remote name a drive ("X:") is mapped to.
  virtual ErrorCode DriveConnection(std::string_view drive, std::string& remoteName) = 0;

  // LookupPrivilegeValueA: NoSuchPrivilege for an unknown name.
  virtual ErrorCode LookupPrivilegeValue(std::string_view name, std::uint64_t& luid) = 0;
  // GetTokenInformation(TokenPrivileges) of the current process token.
  virtual ErrorCode TokenPrivileges(std::vector<TokenPrivilege>& privileges) = 0;
  // AdjustTokenPrivileges. The call itself succeeds even when the token does not hold a
  // privilege it was asked to change; that answer is NotAllAssigned (1300) here, which the
  // caller must treat as the failure it is.
  virtual ErrorCode AdjustTokenPrivileges(std::span<const TokenPrivilege> privileges) = 0;

  // GetDriveTypeA of a root ("C:\").
  virtual DriveType DriveTypeOf(std::string_view root) = 0;
  // FileEncryptionStatusW (Windows 2000 only; ProcNotFound before).
  virtual ErrorCode FileEncryptionStatus(std::string_view path, std::uint32_t& status) = 0;
  // EncryptFileW / DecryptFileW.
  virtual ErrorCode SetFileEncrypted(std::string_view path, bool encrypted) = 0;
};

}  // namespace platform
