#include "platform/sim/sim_security.hpp"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/path_parts.hpp"
#include "platform/sim/host_text_file.hpp"
#include "platform/sim/security_defaults.hpp"

namespace platform::sim {
namespace {

using win_error::CallNotImplemented;

constexpr std::array<std::pair<std::string_view, std::uint64_t>, 10> kPrivileges = {{
    {"SeAssignPrimaryTokenPrivilege", 3},
    {"SeSecurityPrivilege", 8},
    {"SeTakeOwnershipPrivilege", 9},
    {"SeBackupPrivilege", 17},
    {"SeRestorePrivilege", 18},
    {"SeShutdownPrivilege", 19},
    {"SeDebugPrivilege", 20},
    {"SeChangeNotifyPrivilege", 23},
    {"SeRemoteShutdownPrivilege", 24},
    {"SeCreatePagefilePrivilege", 15},
}};
constexpr std::string_view kSecurityPrivilege = "SeSecurityPrivilege";
constexpr std::string_view kTakeOwnershipPrivilege = "SeTakeOwnershipPrivilege";

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
           return upper(x) == upper(y);
         });
}

std::string_view PrivilegeName(std::uint64_t luid) {
  for (const auto& [name, value] : kPrivileges)
    if (value == luid) return name;
  return {};
}

// The rights reading these parts of a descriptor needs, and writing them.
std::uint32_t ReadRights(std::uint32_t information) {
  return (information & (security_info::Owner | security_info::Group | security_info::Dacl))
             ? access_right::ReadControl
             : 0;
}
std::uint32_t WriteRights(std::uint32_t information) {
  std::uint32_t rights = 0;
  if (information & security_info::Dacl) rights |= access_right::WriteDac;
  if (information & (security_info::Owner | security_info::Group))
    rights |= access_right::WriteOwner;
  return rights;
}

// The folder above a full path ("C:\A\B" -> "C:\A", "C:\A" -> "C:\"); empty at a drive root.
std::string ParentFolder(const std::string& path) {
  if (path.size() <= 3) return {};
  const auto slash = path.rfind('\\');
  return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

// The key above a full key path; empty at a predefined key.
std::string ParentKey(const std::string& path) {
  const auto slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

SimSecurity::SimSecurity(const MachineConfig& config, SimContext& context, MemoryRegistry& registry,
                         FileSystem& files)
    : config_(config),
      context_(context),
      registry_(registry),
      files_(files),
      file_(context.machineFolder / "security.ini") {
  if (!config_.NtFamily()) return;
  if (std::filesystem::exists(file_)) {
    store_ = ParseSecurityIni(ReadHostText(file_), file_.string());
  } else {
    store_.accounts = DefaultAccounts(config_);
    store_.token = DefaultToken(false);
  }
  enabled_.insert(store_.token.enabled.begin(), store_.token.enabled.end());
}

void SimSecurity::Watch() {
  if (!config_.NtFamily()) return;
  context_.objectRemoved = [this](const std::string& path) { store_.Drop(ObjectKind::File, path); };
  context_.objectMoved = [this](const std::string& from, const std::string& to) {
    store_.Move(ObjectKind::File, from, to);
  };
  registry_.SetDeleteHandler(
      [this](const std::string& path) { store_.Drop(ObjectKind::Key, path); });
  registry_.SetOpenCheck(
      [this](const std::string& path, std::uint32_t access) { return CheckKeyOpen(path, access); });
}

void SimSecurity::Save() const {
  if (config_.NtFamily()) WriteHostTextReplacing(file_, WriteSecurityIni(store_));
}

bool SimSecurity::Local(std::string_view machine) const {
  while (machine.size() > 0 && machine.front() == '\\')
    machine.remove_prefix(1);
  return machine.empty() || SameText(machine, config_.computerName);
}

bool SimSecurity::PrivilegeEnabled(std::string_view name) const {
  return enabled_.count(std::string(name)) != 0;
}

ErrorCode SimSecurity::LookupAccountSid(std::string_view machine,
                                        std::span<const std::uint8_t> sidBytes, std::string& name,
                                        std::string& domain, SidUse& use) {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (!Local(machine)) return win_error::RpcServerUnavailable;
  const auto sid = ReadSid(sidBytes);
  if (!sid) return win_error::InvalidSid;
  for (const auto& account : store_.accounts)
    if (account.sid == *sid) {
      name = account.name;
      domain = account.domain;
      use = account.use;
      return win_error::Success;
    }
  return win_error::NoneMapped;
}

ErrorCode SimSecurity::LookupAccountName(std::string_view machine, std::string_view account,
                                         std::span<std::uint8_t> sidBuffer, std::uint32_t& sidSize,
                                         std::string& domain, SidUse& use) {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (!Local(machine)) return win_error::RpcServerUnavailable;
  std::string_view wantedDomain;
  std::string_view wantedName = account;
  const bool qualified = account.find('\\') != std::string_view::npos;
  if (qualified) {
    wantedDomain = account.substr(0, account.find('\\'));
    wantedName = account.substr(account.find('\\') + 1);
  }
  for (const auto& known : store_.accounts) {
    if (!SameText(known.name, wantedName) || (qualified && !SameText(known.domain, wantedDomain)))
      continue;
    const auto bytes = known.sid.Bytes();
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (sidBuffer.size() < needed) {
      sidSize = needed;
      return win_error::InsufficientBuffer;
    }
    std::copy(bytes.begin(), bytes.end(), sidBuffer.begin());
    sidSize = needed;
    domain = known.domain;
    use = known.use;
    return win_error::Success;
  }
  return win_error::NoneMapped;
}

ErrorCode SimSecurity::FileObject(std::string_view path, std::string& fullPath) const {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (ErrorCode error = files_.FullPath(path, fullPath)) return error;
  if (fullPath.size() > 3 && fullPath.back() == '\\') fullPath.pop_back();
  std::uint32_t attributes = 0;
  if (ErrorCode error = files_.Attributes(fullPath, attributes)) return error;
  const SimDrive* drive = context_.FindDrive(fullPath[0]);
  if (!drive || drive->fileSystem != "NTFS") return win_error::NoSecurityOnObject;
  return win_error::Success;
}

SecurityDescriptor SimSecurity::Effective(ObjectKind kind, const std::string& path,
                                          bool container) const {
  if (const SecurityDescriptor* own = store_.Find(kind, path)) return *own;
  const std::string parent = kind == ObjectKind::File ? ParentFolder(path) : ParentKey(path);
  SecurityDescriptor open;
  open.owner = well_known_sid::Administrators();
  open.daclState = AclState::Null;
  if (parent.empty()) return open;
  return InheritedDescriptor(Effective(kind, parent, true), container, config_.version.major >= 5,
                             {store_.token.owner, store_.token.primaryGroup},
                             kind == ObjectKind::File ? kFileMapping : kKeyMapping);
}

ErrorCode SimSecurity::Read(ObjectKind kind, const std::string& path, bool container,
                            std::uint32_t information, std::span<std::uint8_t> buffer,
                            std::uint32_t& needed) const {
  const SecurityDescriptor descriptor = Effective(kind, path, container);
  const GenericMapping& mapping = kind == ObjectKind::File ? kFileMapping : kKeyMapping;
  if (!AccessGranted(descriptor, store_.token.Sids(), ReadRights(information), mapping))
    return win_error::AccessDenied;
  const auto bytes = WriteSelfRelative(SelectParts(descriptor, information));
  needed = static_cast<std::uint32_t>(bytes.size());
  if (buffer.size() < bytes.size()) return win_error::InsufficientBuffer;
  std::copy(bytes.begin(), bytes.end(), buffer.begin());
  return win_error::Success;
}

ErrorCode SimSecurity::Write(ObjectKind kind, const std::string& path, bool container,
                             std::uint32_t information, std::span<const std::uint8_t> bytes) {
  const auto given = ReadSelfRelative(bytes);
  if (!given) return win_error::InvalidSecurityDescriptor;
  SecurityDescriptor descriptor = Effective(kind, path, container);
  const GenericMapping& mapping = kind == ObjectKind::File ? kFileMapping : kKeyMapping;
  std::uint32_t rights = WriteRights(information);
  if ((information & security_info::Owner) && PrivilegeEnabled(kTakeOwnershipPrivilege))
    rights &= ~access_right::WriteOwner;
  if (!AccessGranted(descriptor, store_.token.Sids(), rights, mapping))
    return win_error::AccessDenied;
  if (information & security_info::Owner) {
    const auto sids = store_.token.Sids();
    if (!given->owner || std::find(sids.begin(), sids.end(), *given->owner) == sids.end())
      return win_error::InvalidOwner;
  }
  ReplaceParts(descriptor, *given, information);
  store_.Set(kind, path, descriptor);
  return win_error::Success;
}

ErrorCode SimSecurity::GetFileSecurity(std::string_view path, std::uint32_t information,
                                       std::span<std::uint8_t> buffer, std::uint32_t& needed) {
  std::string full;
  if (ErrorCode error = FileObject(path, full)) return error;
  if ((information & security_info::Sacl) && !PrivilegeEnabled(kSecurityPrivilege))
    return win_error::PrivilegeNotHeld;
  std::uint32_t attributes = 0;
  files_.Attributes(full, attributes);
  return Read(ObjectKind::File, full, attributes & file_attribute::Directory, information, buffer,
              needed);
}

ErrorCode SimSecurity::SetFileSecurity(std::string_view path, std::uint32_t information,
                                       std::span<const std::uint8_t> descriptor) {
  std::string full;
  if (ErrorCode error = FileObject(path, full)) return error;
  if ((information & security_info::Sacl) && !PrivilegeEnabled(kSecurityPrivilege))
    return win_error::PrivilegeNotHeld;
  std::uint32_t attributes = 0;
  files_.Attributes(full, attributes);
  return Write(ObjectKind::File, full, attributes & file_attribute::Directory, information,
               descriptor);
}

ErrorCode SimSecurity::CheckKeyOpen(const std::string& path, std::uint32_t access) const {
  if ((access & access_right::AccessSystemSecurity) && !PrivilegeEnabled(kSecurityPrivilege))
    return win_error::PrivilegeNotHeld;
  const std::uint32_t checked = access & (access_right::WriteDac | access_right::WriteOwner);
  if (checked == 0) return win_error::Success;
  const bool granted = AccessGranted(Effective(ObjectKind::Key, path, true), store_.token.Sids(),
                                     checked, kKeyMapping);
  return granted ? win_error::Success : win_error::AccessDenied;
}

// The path of an open key whose handle was opened with the rights the call needs (and, for
// the audit list, with ACCESS_SYSTEM_SECURITY).
ErrorCode SimSecurity::KeyPathFor(KeyHandle key, std::uint32_t rights, std::uint32_t information,
                                  std::string& path) {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (ErrorCode error = registry_.KeyPath(key, path)) return error;
  std::uint32_t access = 0;
  registry_.KeyAccess(key, access);
  if (information & security_info::Sacl) rights |= access_right::AccessSystemSecurity;
  return (access & rights) == rights ? win_error::Success : win_error::AccessDenied;
}

ErrorCode SimSecurity::GetKeySecurity(KeyHandle key, std::uint32_t information,
                                      std::span<std::uint8_t> buffer, std::uint32_t& needed) {
  std::string path;
  if (ErrorCode error = KeyPathFor(key, ReadRights(information), information, path)) return error;
  return Read(ObjectKind::Key, path, true, information, buffer, needed);
}

ErrorCode SimSecurity::SetKeySecurity(KeyHandle key, std::uint32_t information,
                                      std::span<const std::uint8_t> descriptor) {
  std::string path;
  if (ErrorCode error = KeyPathFor(key, WriteRights(information), information, path)) return error;
  return Write(ObjectKind::Key, path, true, information, descriptor);
}

ErrorCode SimSecurity::ConnectRegistry(std::string_view machine, KeyHandle root,
                                       KeyHandle& result) {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (Local(machine)) {
    result = root;
    return win_error::Success;
  }
  return win_error::BadNetPath;
}

ErrorCode SimSecurity::AddConnection(std::string_view, std::string_view, std::string_view) {
  return win_error::BadNetPath;
}

ErrorCode SimSecurity::CancelConnection(std::string_view) {
  return win_error::NotConnected;
}

ErrorCode SimSecurity::DriveConnection(std::string_view, std::string& remoteName) {
  remoteName.clear();
  return win_error::NotConnected;
}

ErrorCode SimSecurity::LookupPrivilegeValue(std::string_view name, std::uint64_t& luid) {
  if (!config_.NtFamily()) return CallNotImplemented;
  for (const auto& [known, value] : kPrivileges)
    if (SameText(known, name)) {
      luid = value;
      return win_error::Success;
    }
  return win_error::NoSuchPrivilege;
}

ErrorCode SimSecurity::TokenPrivileges(std::vector<TokenPrivilege>& privileges) {
  if (!config_.NtFamily()) return CallNotImplemented;
  privileges.clear();
  const auto add = [&](const std::string& name) {
    std::uint64_t luid = 0;
    if (LookupPrivilegeValue(name, luid) == win_error::Success)
      privileges.push_back({luid, PrivilegeEnabled(name) ? kPrivilegeEnabled : 0});
  };
  for (const auto& name : store_.token.privileges)
    add(name);
  for (const auto& name : store_.token.enabled)
    add(name);
  return win_error::Success;
}

ErrorCode SimSecurity::AdjustTokenPrivileges(std::span<const TokenPrivilege> privileges) {
  if (!config_.NtFamily()) return CallNotImplemented;
  const auto held = [&](std::string_view name) {
    const auto& token = store_.token;
    const auto same = [&](const std::string& heldName) { return heldName == name; };
    return std::any_of(token.privileges.begin(), token.privileges.end(), same) ||
           std::any_of(token.enabled.begin(), token.enabled.end(), same);
  };
  bool allAssigned = true;
  for (const auto& privilege : privileges) {
    const std::string name(PrivilegeName(privilege.luid));
    if (name.empty() || !held(name)) {
      allAssigned = false;
      continue;
    }
    if (privilege.attributes & kPrivilegeEnabled)
      enabled_.insert(name);
    else
      enabled_.erase(name);
  }
  return allAssigned ? win_error::Success : win_error::NotAllAssigned;
}

DriveType SimSecurity::DriveTypeOf(std::string_view root) {
  if (root.size() < 2 || root[1] != ':') return DriveType::NoRootDir;
  const SimDrive* drive = context_.FindDrive(root[0]);
  if (!drive) return DriveType::NoRootDir;
  return drive->kind == DriveKind::CdRom ? DriveType::CdRom : DriveType::Fixed;
}

ErrorCode SimSecurity::FileEncryptionStatus(std::string_view path, std::uint32_t& status) {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (config_.version.major < 5) return win_error::ProcNotFound;
  std::uint32_t attributes = 0;
  if (ErrorCode error = files_.Attributes(path, attributes)) return error;
  std::string full;
  files_.FullPath(path, full);
  const SimDrive* drive = full.empty() ? nullptr : context_.FindDrive(full[0]);
  if (!drive || drive->fileSystem != "NTFS")
    status = encryption_status::FileSystemNotSupported;
  else if (drive->kind == DriveKind::CdRom)
    status = encryption_status::ReadOnly;
  else
    status = encryption_status::Encryptable;
  return win_error::Success;
}

ErrorCode SimSecurity::SetFileEncrypted(std::string_view, bool) {
  if (!config_.NtFamily()) return CallNotImplemented;
  if (config_.version.major < 5) return win_error::ProcNotFound;
  // The simulated machine keeps no encryption state; converting a file is refused.
  return win_error::NotSupported;
}

}  // namespace platform::sim
