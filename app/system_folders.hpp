#pragma once
// Folders read into the fixed 256-character buffers the installer keeps them in.
#include <string>
#include <string_view>

namespace app {

inline constexpr std::size_t kFolderBufferSize = 256;

// The folder as such a buffer holds it: a path that does not fit with its terminating zero
// is not stored at all (the system call reports the size it would need and fills nothing).
inline std::string FolderBuffer(std::string_view folder) {
  return folder.size() < kFolderBufferSize ? std::string(folder) : std::string();
}

}  // namespace app
