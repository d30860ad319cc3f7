#include "winsec/reg_security.hpp"

#include "platform/access_rules.hpp"
#include "platform/machine.hpp"
#include "winsec/mask_translation.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/trimmed.hpp"

namespace winsec {
namespace {

namespace info = platform::security_info;
namespace right = platform::access_right;

// Closes the opener's key however the work on it ends.
class OpenKeyGuard {
 public:
  explicit OpenKeyGuard(TBrowseRegistry& opener) : opener_(opener) {}
  ~OpenKeyGuard() { opener_.CloseKey(); }
  OpenKeyGuard(const OpenKeyGuard&) = delete;
  OpenKeyGuard& operator=(const OpenKeyGuard&) = delete;

 private:
  TBrowseRegistry& opener_;
};

}  // namespace

TNTRegSecurity::TNTRegSecurity(forms::TComponent& owner, std::string name)
    : TNTAbstractSecurity(owner, std::move(name)) {}

void TNTRegSecurity::SetMachineName(const std::string& machineName) {
  if (machineName == MachineName()) return;
  TNTAbstractSecurity::SetMachineName(machineName);
  rootNeedsPreparing_ = true;
  ForgetLists();
}

void TNTRegSecurity::SetRootKey(platform::KeyHandle rootKey) {
  if (rootKey == rootKey_) return;
  rootKey_ = rootKey;
  rootNeedsPreparing_ = true;
  ForgetLists();
}

void TNTRegSecurity::SetCurrentPath(const std::string& path) {
  if (path == currentPath_) return;
  currentPath_ = path;
  ForgetLists();
}

void TNTRegSecurity::PrepareRoot() {
  if (!rootNeedsPreparing_) return;
  const std::string machine = Trimmed(MachineName());
  if (machine.empty()) {
    opener_.SetRoot(rootKey_, false);
  } else {
    platform::KeyHandle remote = 0;
    CheckSystem(platform::CurrentMachine().security().ConnectRegistry(machine, rootKey_, remote));
    opener_.SetRoot(remote, remote != rootKey_);
  }
  rootNeedsPreparing_ = false;
}

void TNTRegSecurity::OpenCurrent(std::uint32_t access) {
  opener_.SetDesiredAccess(access);
  // Each operation starts from the root: no key stays open between operations.
  opener_.CloseKey();
  const std::string path =
      !currentPath_.empty() && currentPath_.front() == '\\' ? currentPath_ : "\\" + currentPath_;
  CheckSystem(opener_.OpenKey(path));
}

void TNTRegSecurity::ReadSecurity(std::uint32_t information) {
  Descriptor().reset();
  PrepareRoot();
  OpenCurrent((information & info::Sacl) ? right::AccessSystemSecurity : right::ReadControl);
  OpenKeyGuard guard(opener_);
  platform::Security& security = platform::CurrentMachine().security();
  std::vector<std::uint8_t> buffer(lastSize_);
  std::uint32_t needed = 0;
  platform::ErrorCode error =
      security.GetKeySecurity(opener_.CurrentKey(), information, buffer, needed);
  if (error == platform::win_error::InsufficientBuffer) {
    buffer.assign(needed, 0);
    error = security.GetKeySecurity(opener_.CurrentKey(), information, buffer, needed);
  }
  CheckSystem(error);
  lastSize_ = needed;
  buffer.resize(needed);
  Descriptor() = platform::ReadSelfRelative(buffer);
  if (!Descriptor()) throw ENTException::System(platform::win_error::InvalidSecurityDescriptor);
}

void TNTRegSecurity::WriteSecurity(std::uint32_t information) {
  if (!Descriptor()) return;
  PrepareRoot();
  std::uint32_t access = 0;
  if (information & info::Owner) access |= right::WriteOwner;
  if (information & info::Dacl) access |= right::WriteDac;
  if (information & info::Sacl) access |= right::AccessSystemSecurity;
  OpenCurrent(access);
  OpenKeyGuard guard(opener_);
  CheckSystem(platform::CurrentMachine().security().SetKeySecurity(
      opener_.CurrentKey(), information, platform::WriteSelfRelative(*Descriptor())));
}

std::uint32_t TNTRegSecurity::DeniedMaskFromNative(std::uint32_t native) const {
  return KeyMaskFromNative(native);
}
std::uint32_t TNTRegSecurity::AllowedMaskFromNative(std::uint32_t native) const {
  return KeyMaskFromNative(native);
}
std::uint32_t TNTRegSecurity::AuditMaskFromNative(std::uint32_t native) const {
  return KeyMaskFromNative(native);
}
std::uint32_t TNTRegSecurity::DeniedMaskToNative(std::uint32_t mask) const {
  return KeyMaskToNative(mask);
}
std::uint32_t TNTRegSecurity::AllowedMaskToNative(std::uint32_t mask) const {
  return KeyMaskToNative(mask);
}
std::uint32_t TNTRegSecurity::AuditMaskToNative(std::uint32_t mask) const {
  return KeyMaskToNative(mask);
}

}  // namespace winsec
