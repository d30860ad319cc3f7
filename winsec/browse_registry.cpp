#include "winsec/browse_registry.hpp"

#include "platform/machine.hpp"

namespace winsec {

TBrowseRegistry::~TBrowseRegistry() {
  // Keys are closed after every operation; a machine gone by now took its handles with it.
  if (!platform::HasCurrentMachine()) return;
  CloseKey();
  if (remoteRoot_) platform::CurrentMachine().registry().CloseKey(root_);
}

void TBrowseRegistry::SetRoot(platform::KeyHandle root, bool remote) {
  CloseKey();
  if (remoteRoot_ && root_ != root) platform::CurrentMachine().registry().CloseKey(root_);
  root_ = root;
  remoteRoot_ = remote;
}

platform::ErrorCode TBrowseRegistry::OpenKey(const std::string& path) {
  const bool fromRoot = !path.empty() && path.front() == '\\';
  const std::string relative = fromRoot ? path.substr(1) : path;
  const platform::KeyHandle parent = (!fromRoot && current_ != 0) ? current_ : root_;
  platform::KeyHandle opened = 0;
  const platform::ErrorCode error =
      platform::CurrentMachine().registry().OpenKey(parent, relative, access_, opened);
  if (error != platform::win_error::Success) return error;
  const std::string newPath =
      (parent == current_ && current_ != 0) ? path_ + "\\" + relative : relative;
  CloseKey();
  current_ = opened;
  path_ = newPath;
  return error;
}

void TBrowseRegistry::CloseKey() {
  if (current_ == 0) return;
  platform::CurrentMachine().registry().CloseKey(current_);
  current_ = 0;
  path_.clear();
}

}  // namespace winsec
