#pragma once
// TBrowseRegistry: opens key paths under a root (a predefined key, or one connected on another
// machine) and remembers the key it opened last. It returns the platform's result and leaves
// reporting to its caller.
#include <cstdint>
#include <string>

#include "platform/win_types.hpp"

namespace winsec {

class TBrowseRegistry {
 public:
  TBrowseRegistry() = default;
  ~TBrowseRegistry();
  TBrowseRegistry(const TBrowseRegistry&) = delete;
  TBrowseRegistry& operator=(const TBrowseRegistry&) = delete;

  platform::KeyHandle Root() const { return root_; }
  // A new root closes the open key, and the previous root when it was a remote connection.
  void SetRoot(platform::KeyHandle root, bool remote);
  std::uint32_t DesiredAccess() const { return access_; }
  void SetDesiredAccess(std::uint32_t access) { access_ = access; }

  // "\A\B" opens from the root; "A\B" under the open key, else under the root. The previous
  // open key is closed and replaced when the open succeeds.
  platform::ErrorCode OpenKey(const std::string& path);
  void CloseKey();
  platform::KeyHandle CurrentKey() const { return current_; }
  const std::string& CurrentPath() const { return path_; }

 private:
  platform::KeyHandle root_ = platform::hkey::LocalMachine;
  bool remoteRoot_ = false;
  platform::KeyHandle current_ = 0;
  std::string path_;
  std::uint32_t access_ = platform::key_access::EnumerateSubKeys;
};

}  // namespace winsec
