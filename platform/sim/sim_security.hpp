#pragma once
// The security API of a simulated machine, kept in security.ini. Accounts are looked up in
// its account table; files and keys have the descriptor of their section or, without one,
// the one their parent passes down (as NT gives a new object at creation), up to the drive
// root or the predefined key, which are open to all when they have no section. Access checks
// run against the token: reading a descriptor needs READ_CONTROL, changing the access list
// WRITE_DAC, the owner WRITE_OWNER (or the take-ownership privilege) and the audit list the
// security privilege. Drives other than NTFS keep no descriptors. Remote machines do not
// exist here. On the Windows 95 family every call answers CallNotImplemented.
#include <filesystem>
#include <set>
#include <string>

#include "platform/access_rules.hpp"
#include "platform/file_system.hpp"
#include "platform/memory_registry.hpp"
#include "platform/security.hpp"
#include "platform/sim/machine_config.hpp"
#include "platform/sim/security_store.hpp"
#include "platform/sim/sim_context.hpp"

namespace platform::sim {

class SimSecurity final : public Security {
 public:
  // Loads <machine>/security.ini; an NT machine without one has the well-known accounts, an
  // administrator's token and no descriptors. Throws platform::Exception for a malformed file.
  SimSecurity(const MachineConfig& config, SimContext& context, MemoryRegistry& registry,
              FileSystem& files);
  // From now on follows the files and keys the program deletes and renames, and checks the
  // rights asked for when it opens a key. Called once the registry has been loaded.
  void Watch();
  // Writes security.ini back (NT family only). Throws platform::Exception when it cannot.
  void Save() const;

  ErrorCode LookupAccountSid(std::string_view machine, std::span<const std::uint8_t> sid,
                             std::string& name, std::string& domain, SidUse& use) override;
  ErrorCode LookupAccountName(std::string_view machine, std::string_view account,
                              std::span<std::uint8_t> sid, std::uint32_t& sidSize,
                              std::string& domain, SidUse& use) override;
  ErrorCode GetFileSecurity(std::string_view path, std::uint32_t information,
                            std::span<std::uint8_t> buffer, std::uint32_t& needed) override;
  ErrorCode SetFileSecurity(std::string_view path, std::uint32_t information,
                            std::span<const std::uint8_t> descriptor) override;
  ErrorCode GetKeySecurity(KeyHandle key, std::uint32_t information, std::span<std::uint8_t> buffer,
                           std::uint32_t& needed) override;
  ErrorCode SetKeySecurity(KeyHandle key, std::uint32_t information,
                           std::span<const std::uint8_t> descriptor) override;
  ErrorCode ConnectRegistry(std::string_view machine, KeyHandle root, KeyHandle& result) override;
  ErrorCode AddConnection(std::string_view remoteName, std::string_view user,
                          std::string_view password) override;
  ErrorCode CancelConnection(std::string_view remoteName) override;
  ErrorCode DriveConnection(std::string_view drive, std::string& remoteName) override;
  ErrorCode LookupPrivilegeValue(std::string_view name, std::uint64_t& luid) override;
  ErrorCode TokenPrivileges(std::vector<TokenPrivilege>& privileges) override;
  ErrorCode AdjustTokenPrivileges(std::span<const TokenPrivilege> privileges) override;
  DriveType DriveTypeOf(std::string_view root) override;
  ErrorCode FileEncryptionStatus(std::string_view path, std::uint32_t& status) override;
  ErrorCode SetFileEncrypted(std::string_view path, bool encrypted) override;

  const SecurityStore& store() const { return store_; }

 private:
  bool Local(std::string_view machine) const;
  bool PrivilegeEnabled(std::string_view name) const;
  ErrorCode FileObject(std::string_view path, std::string& fullPath) const;
  SecurityDescriptor Effective(ObjectKind kind, const std::string& path, bool container) const;
  ErrorCode KeyPathFor(KeyHandle key, std::uint32_t rights, std::uint32_t information,
                       std::string& path);
  ErrorCode Read(ObjectKind kind, const std::string& path, bool container,
                 std::uint32_t information, std::span<std::uint8_t> buffer,
                 std::uint32_t& needed) const;
  ErrorCode Write(ObjectKind kind, const std::string& path, bool container,
                  std::uint32_t information, std::span<const std::uint8_t> bytes);
  ErrorCode CheckKeyOpen(const std::string& path, std::uint32_t access) const;

  const MachineConfig& config_;
  SimContext& context_;
  MemoryRegistry& registry_;
  FileSystem& files_;
  std::filesystem::path file_;
  SecurityStore store_;
  std::set<std::string> enabled_;  // privileges enabled in this run
};

}  // namespace platform::sim
