#pragma once
// An open host file with the behaviour of a Windows file handle: positioned reads and writes,
// access enforced by the handle, LockFile/UnlockFile ranges that exclude every other range
// locked in this process and, through open-file-description locks, in other processes.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/file_system.hpp"
#include "platform/native/host_path_resolver.hpp"
#include "platform/native/process_lock_table.hpp"

namespace platform {

class HostFile final : public File {
 public:
  // Takes ownership of `fd`. `writableDescriptor`: the descriptor itself is open for writing
  // (a handle opened for reading still gets such a descriptor whenever the host allows it,
  // so that its locks are exclusive). `writeTime`, when set, is the machine clock: a file
  // created, truncated or written through the handle takes its time as the last-write time
  // when the handle closes (`changed`: it was created or truncated when opened).
  HostFile(int fd, HostFileId id, bool writableDescriptor, std::uint32_t access,
           std::function<FileTime()> writeTime = {}, bool changed = false);
  ~HostFile() override;
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  ErrorCode ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count,
                   std::uint32_t& transferred) override;
  ErrorCode WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t count,
                    std::uint32_t& transferred) override;
  ErrorCode Size(std::uint64_t& size) override;
  ErrorCode Flush() override;
  ErrorCode Truncate(std::uint64_t size) override;
  ErrorCode Lock(std::uint64_t offset, std::uint64_t length) override;
  ErrorCode Unlock(std::uint64_t offset, std::uint64_t length) override;
  bool Writable() const override { return canWrite_; }

 private:
  ErrorCode SetHostLock(short type, std::uint64_t offset, std::uint64_t length);
  void StampWriteTime();

  int fd_;
  HostFileId id_;
  bool writableDescriptor_;
  bool canRead_;
  bool canWrite_;
  std::function<FileTime()> writeTime_;
  bool changed_;
};

// CreateFile on a mapped path: the disposition decides between creating and opening, the
// access and share mode are checked against every other handle of the file (SharingViolation),
// a folder or a read-only file asked for writing is AccessDenied. `writeTime` as for HostFile.
ErrorCode OpenHostFile(const MappedPath& path, std::uint32_t access, std::uint32_t share,
                       Disposition disposition, std::unique_ptr<File>& result,
                       const std::function<FileTime()>& writeTime = {});

}  // namespace platform
