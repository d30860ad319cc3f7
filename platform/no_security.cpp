#include "platform/no_security.hpp"

namespace platform {

using win_error::CallNotImplemented;

ErrorCode NoSecurity::LookupAccountSid(std::string_view, std::span<const std::uint8_t>,
                                       std::string&, std::string&, SidUse&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::LookupAccountName(std::string_view, std::string_view, std::span<std::uint8_t>,
                                        std::uint32_t&, std::string&, SidUse&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::GetFileSecurity(std::string_view, std::uint32_t, std::span<std::uint8_t>,
                                      std::uint32_t&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::SetFileSecurity(std::string_view, std::uint32_t,
                                      std::span<const std::uint8_t>) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::GetKeySecurity(KeyHandle, std::uint32_t, std::span<std::uint8_t>,
                                     std::uint32_t&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::SetKeySecurity(KeyHandle, std::uint32_t, std::span<const std::uint8_t>) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::ConnectRegistry(std::string_view, KeyHandle, KeyHandle&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::AddConnection(std::string_view, std::string_view, std::string_view) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::CancelConnection(std::string_view) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::DriveConnection(std::string_view, std::string&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::LookupPrivilegeValue(std::string_view, std::uint64_t&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::TokenPrivileges(std::vector<TokenPrivilege>&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::AdjustTokenPrivileges(std::span<const TokenPrivilege>) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::FileEncryptionStatus(std::string_view, std::uint32_t&) {
  return CallNotImplemented;
}
ErrorCode NoSecurity::SetFileEncrypted(std::string_view, bool) {
  return CallNotImplemented;
}

}  // namespace platform
