#pragma once
// TNTFileSecurity: the security of one file or folder, chosen by its name. The machine whose
// accounts name the entries is the one that holds the file (a mapped drive's or a UNC name's
// server), never a stored name.
#include <string>

#include "winsec/abstract_security.hpp"

namespace winsec {

class TNTFileSecurity final : public TNTAbstractSecurity {
 public:
  TNTFileSecurity(forms::TComponent& owner, std::string name);

  const std::string& FileName() const { return fileName_; }
  // A different name drops the lists read for the previous file.
  void SetFileName(const std::string& fileName);
  // The file-system name of the volume that holds the file ("NTFS", "FAT"); empty when the
  // name has no volume. Raises ENTException when the volume cannot be asked.
  std::string FileSystem();
  std::string FileOwner() { return Owner(); }
  void SetFileOwner(const std::string& userName) { SetOwner(userName); }
  // Windows 2000 only; false elsewhere without asking the platform.
  bool Encrypted();
  void SetEncrypted(bool encrypted);
  bool Encryptable();

  std::string MachineName() const override;

 protected:
  void ReadSecurity(std::uint32_t information) override;
  void WriteSecurity(std::uint32_t information) override;
  std::uint32_t DeniedMaskFromNative(std::uint32_t native) const override;
  std::uint32_t AllowedMaskFromNative(std::uint32_t native) const override;
  std::uint32_t AuditMaskFromNative(std::uint32_t native) const override;
  std::uint32_t DeniedMaskToNative(std::uint32_t mask) const override;
  std::uint32_t AllowedMaskToNative(std::uint32_t mask) const override;
  std::uint32_t AuditMaskToNative(std::uint32_t mask) const override;

 private:
  std::string VolumeRoot() const;
  bool EncryptionKnown() const;
  std::uint32_t EncryptionStatus();

  std::string fileName_;
};

}  // namespace winsec
