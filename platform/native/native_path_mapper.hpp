#pragma once
// Host paths taken as they are, but found without regard to case ("/TMP/X/KVUS.DAT" finds
// /tmp/x/kvus.dat), so that the table engine's upper-cased names work on Linux. A backslash
// separates components like a slash; relative paths start at the process's current folder.
#include "platform/native/path_mapper.hpp"

namespace platform {

class NativePathMapper final : public PathMapper {
 public:
  ErrorCode Map(std::string_view path, LastPart last, MappedPath& result) override;
  ErrorCode FullPath(std::string_view path, std::string& result) override;
  // The host's file-system type of the mount holding `root`, in Windows' words where there
  // are some ("FAT", "NTFS", "CDFS"), else upper-cased ("EXT4").
  ErrorCode VolumeFileSystem(std::string_view root, std::string& name) override;
};

}  // namespace platform
