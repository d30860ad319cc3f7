#pragma once
// TNTRegSecurity: the security of one registry key, chosen by root and path. Each read and
// write opens the key with just the rights it needs and closes it again.
#include <string>

#include "winsec/abstract_security.hpp"
#include "winsec/browse_registry.hpp"

namespace winsec {

class TNTRegSecurity final : public TNTAbstractSecurity {
 public:
  TNTRegSecurity(forms::TComponent& owner, std::string name);

  void SetMachineName(const std::string& machineName) override;
  platform::KeyHandle RootKey() const { return rootKey_; }
  void SetRootKey(platform::KeyHandle rootKey);
  const std::string& CurrentPath() const { return currentPath_; }
  // A different path drops the lists read for the previous key.
  void SetCurrentPath(const std::string& path);
  std::string KeyOwner() { return Owner(); }
  void SetKeyOwner(const std::string& userName) { SetOwner(userName); }

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
  void PrepareRoot();
  // Opens CurrentPath with the access asked for, raising on failure.
  void OpenCurrent(std::uint32_t access);

  platform::KeyHandle rootKey_ = platform::hkey::LocalMachine;
  std::string currentPath_;
  TBrowseRegistry opener_;
  bool rootNeedsPreparing_ = true;
  std::uint32_t lastSize_ = 0;
};

}  // namespace winsec
