#include "winsec/file_security.hpp"

#include "platform/machine.hpp"
#include "platform/path_parts.hpp"
#include "winsec/mask_translation.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/trimmed.hpp"

namespace winsec {
namespace {

// The first part of a root split at "\", "/" and ":".
std::string FirstElement(const std::string& root) {
  const auto start = root.find_first_not_of("\\/:");
  if (start == std::string::npos) return {};
  return root.substr(start, root.find_first_of("\\/:", start) - start);
}

}  // namespace

TNTFileSecurity::TNTFileSecurity(forms::TComponent& owner, std::string name)
    : TNTAbstractSecurity(owner, std::move(name)) {}

void TNTFileSecurity::SetFileName(const std::string& fileName) {
  if (fileName == fileName_) return;
  fileName_ = fileName;
  ForgetLists();
}

std::string TNTFileSecurity::VolumeRoot() const {
  // The drive ("c:\") or the share ("\\server\share\"); a name without either has none.
  const std::string name = Trimmed(fileName_);
  if (platform::HasDriveLetter(name)) return name.substr(0, 2) + "\\";
  if (!platform::IsNetworkPath(name)) return {};
  return platform::WithTrailingSeparator(name.substr(0, platform::PathRootLength(name)));
}

std::string TNTFileSecurity::MachineName() const {
  const std::string root = VolumeRoot();
  if (root.empty()) return {};
  platform::Security& security = platform::CurrentMachine().security();
  if (security.DriveTypeOf(root) != platform::DriveType::Remote) return {};
  std::string element = FirstElement(root);
  if (element.size() == 1) {
    std::string remote;
    if (security.DriveConnection(element + ":", remote) == platform::win_error::Success)
      element = FirstElement(remote);
  }
  return "\\\\" + element;
}

std::string TNTFileSecurity::FileSystem() {
  const std::string root = VolumeRoot();
  if (root.empty()) return {};
  std::string name;
  CheckSystem(platform::CurrentMachine().files().VolumeFileSystem(root, name));
  return name;
}

bool TNTFileSecurity::EncryptionKnown() const {
  const auto version = platform::CurrentMachine().system().Version();
  return version.platformId == platform::platform_id::Nt && version.major == 5;
}

std::uint32_t TNTFileSecurity::EncryptionStatus() {
  std::uint32_t status = 0;
  CheckSystem(platform::CurrentMachine().security().FileEncryptionStatus(fileName_, status));
  return status;
}

bool TNTFileSecurity::Encrypted() {
  return EncryptionKnown() && EncryptionStatus() == platform::encryption_status::Encrypted;
}

bool TNTFileSecurity::Encryptable() {
  if (!EncryptionKnown()) return false;
  const std::uint32_t status = EncryptionStatus();
  return status == platform::encryption_status::Encryptable ||
         status == platform::encryption_status::Encrypted;
}

void TNTFileSecurity::SetEncrypted(bool encrypted) {
  if (!EncryptionKnown() || Encrypted() == encrypted) return;
  CheckSystem(platform::CurrentMachine().security().SetFileEncrypted(fileName_, encrypted));
}

void TNTFileSecurity::ReadSecurity(std::uint32_t information) {
  Descriptor().reset();
  if (Trimmed(fileName_).empty()) return;
  platform::Security& security = platform::CurrentMachine().security();
  std::uint32_t needed = 0;
  platform::ErrorCode error = security.GetFileSecurity(fileName_, information, {}, needed);
  std::vector<std::uint8_t> buffer;
  if (error == platform::win_error::InsufficientBuffer) {
    buffer.resize(needed);
    error = security.GetFileSecurity(fileName_, information, buffer, needed);
  }
  if (error != platform::win_error::Success) throw ENTException::Network(error);
  Descriptor() = platform::ReadSelfRelative(buffer);
  if (!Descriptor()) throw ENTException::System(platform::win_error::InvalidSecurityDescriptor);
}

void TNTFileSecurity::WriteSecurity(std::uint32_t information) {
  if (!Descriptor()) return;
  CheckSystem(platform::CurrentMachine().security().SetFileSecurity(
      fileName_, information, platform::WriteSelfRelative(*Descriptor())));
}

std::uint32_t TNTFileSecurity::DeniedMaskFromNative(std::uint32_t native) const {
  return FileDeniedMaskFromNative(native);
}
std::uint32_t TNTFileSecurity::AllowedMaskFromNative(std::uint32_t native) const {
  return FileAllowedMaskFromNative(native);
}
std::uint32_t TNTFileSecurity::AuditMaskFromNative(std::uint32_t native) const {
  return FileAllowedMaskFromNative(native);
}
std::uint32_t TNTFileSecurity::DeniedMaskToNative(std::uint32_t mask) const {
  return FileDeniedMaskToNative(mask);
}
std::uint32_t TNTFileSecurity::AllowedMaskToNative(std::uint32_t mask) const {
  return FileAllowedMaskToNative(mask);
}
std::uint32_t TNTFileSecurity::AuditMaskToNative(std::uint32_t mask) const {
  return FileAuditMaskToNative(mask);
}

}  // namespace winsec
