#pragma once
// A FileSystem over host files with Windows behaviour, for any mapping of paths onto the
// host: names found without regard to case, share modes and byte-range locks that hold
// between handles and processes, Windows error numbers.
#include <functional>
#include <memory>

#include "platform/file_system.hpp"
#include "platform/native/path_mapper.hpp"

namespace platform {

class HostFileSystem : public FileSystem {
 public:
  explicit HostFileSystem(std::unique_ptr<PathMapper> mapper);

  ErrorCode Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                 Disposition disposition, std::unique_ptr<File>& result) override;
  ErrorCode Attributes(std::string_view path, std::uint32_t& attributes) override;
  ErrorCode Copy(std::string_view source, std::string_view target, bool failIfExists) override;
  ErrorCode Remove(std::string_view path) override;
  ErrorCode Rename(std::string_view from, std::string_view to) override;
  ErrorCode MakeFolder(std::string_view path) override;
  ErrorCode RemoveFolder(std::string_view path) override;
  ErrorCode Find(std::string_view pattern, std::vector<FindData>& result) override;
  ErrorCode FullPath(std::string_view path, std::string& result) override;
  ErrorCode VolumeFileSystem(std::string_view root, std::string& name) override;
  std::string HostPath(std::string_view path) override;

  // The machine clock that gives files created or written through this file system their
  // last-write time; unset, the host's own time stays.
  void SetWriteTimeSource(std::function<FileTime()> now) { writeTime_ = std::move(now); }

 private:
  std::unique_ptr<PathMapper> mapper_;
  std::function<FileTime()> writeTime_;
};

}  // namespace platform
