#pragma once
// How a file system's paths land on the host: the native mapping takes host paths, a
// simulated machine maps Windows paths onto its drive folders.
#include <string>
#include <string_view>

#include "platform/native/host_path_resolver.hpp"
#include "platform/win_types.hpp"

namespace platform {

// What the last component of a path may hold.
enum class LastPart {
  Name,     // a file or folder name
  Pattern,  // a FindFirstFile pattern with * and ?
};

class PathMapper {
 public:
  virtual ~PathMapper() = default;
  // Finds the host place of a path. Fails only for what the path itself rules out (an
  // unknown drive, a drive without media, a malformed name); missing files and folders are
  // told through MappedPath.
  virtual ErrorCode Map(std::string_view path, LastPart last, MappedPath& result) = 0;
  // GetFullPathName: the path made absolute against the current folder, "." and ".." gone.
  virtual ErrorCode FullPath(std::string_view path, std::string& result) = 0;
  // The file-system name of the volume holding `root`.
  virtual ErrorCode VolumeFileSystem(std::string_view root, std::string& name) = 0;
};

}  // namespace platform
