#include "platform/native/host_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/native/host_errors.hpp"
#include "platform/native/host_file_time.hpp"
#include "platform/native/share_mode_locks.hpp"

namespace platform {

HostFile::HostFile(int fd, HostFileId id, bool writableDescriptor, std::uint32_t access,
                   std::function<FileTime()> writeTime, bool changed)
    : fd_(fd),
      id_(id),
      writableDescriptor_(writableDescriptor),
      canRead_((access & file_access::GenericRead) != 0),
      canWrite_((access & file_access::GenericWrite) != 0),
      writeTime_(std::move(writeTime)),
      changed_(changed) {}

HostFile::~HostFile() {
  StampWriteTime();
  // Closing the only descriptor of the open file description drops its host locks.
  close(fd_);
  ProcessLockTable::Instance().ReleaseAll(id_, this);
}

ErrorCode HostFile::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count,
                           std::uint32_t& transferred) {
  transferred = 0;
  if (!canRead_) return win_error::AccessDenied;
  auto* bytes = static_cast<char*>(buffer);
  while (transferred < count) {
    const ssize_t done = pread(fd_, bytes + transferred, count - transferred,
                               static_cast<off_t>(offset + transferred));
    if (done == 0) break;
    if (done < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno);
    }
    transferred += static_cast<std::uint32_t>(done);
  }
  return win_error::Success;
}

ErrorCode HostFile::WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t count,
                            std::uint32_t& transferred) {
  transferred = 0;
  if (!canWrite_) return win_error::AccessDenied;
  const auto* bytes = static_cast<const char*>(buffer);
  while (transferred < count) {
    const ssize_t done = pwrite(fd_, bytes + transferred, count - transferred,
                                static_cast<off_t>(offset + transferred));
    if (done < 0) {
      if (errno == EINTR) continue;
      return ErrorFromErrno(errno);
    }
    if (done == 0) return win_error::DiskFull;
    transferred += static_cast<std::uint32_t>(done);
    changed_ = true;
  }
  return win_error::Success;
}

ErrorCode HostFile::Size(std::uint64_t& size) {
  struct stat status {};
  if (fstat(fd_, &status) != 0) return ErrorFromErrno(errno);
  size = static_cast<std::uint64_t>(status.st_size);
  return win_error::Success;
}

ErrorCode HostFile::Flush() {
  if (!canWrite_) return win_error::AccessDenied;
  if (fdatasync(fd_) != 0) return ErrorFromErrno(errno);
  return win_error::Success;
}

ErrorCode HostFile::Truncate(std::uint64_t size) {
  if (!canWrite_) return win_error::AccessDenied;
  if (size > kShareMarkerBase) return win_error::InvalidParameter;
  if (ftruncate(fd_, static_cast<off_t>(size)) != 0) return ErrorFromErrno(errno);
  changed_ = true;
  return win_error::Success;
}

void HostFile::StampWriteTime() {
  // The host stamped its own time at every change; the machine's clock has the last word.
  if (!changed_ || !writeTime_) return;
  const timespec times[2] = {{0, UTIME_OMIT}, HostTimeFromFileTime(writeTime_())};
  futimens(fd_, times);
}

ErrorCode HostFile::Lock(std::uint64_t offset, std::uint64_t length) {
  if (offset > kShareMarkerBase || length > kShareMarkerBase - offset) {
    return win_error::InvalidParameter;
  }
  // A descriptor open only for reading can take shared host locks alone; they still keep
  // out other processes' exclusive ones.
  const short type = writableDescriptor_ ? F_WRLCK : F_RDLCK;
  return ProcessLockTable::Instance().Lock(id_, this, offset, length,
                                           [&] { return SetHostLock(type, offset, length); });
}

ErrorCode HostFile::Unlock(std::uint64_t offset, std::uint64_t length) {
  return ProcessLockTable::Instance().Unlock(id_, this, offset, length,
                                             [&] { return SetHostLock(F_UNLCK, offset, length); });
}

ErrorCode HostFile::SetHostLock(short type, std::uint64_t offset, std::uint64_t length) {
  // A host range of length 0 would reach to the end of every file; Windows locks nothing.
  if (length == 0) return win_error::Success;
  flock range{};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(offset);
  range.l_len = static_cast<off_t>(length);
  if (fcntl(fd_, F_OFD_SETLK, &range) == 0) return win_error::Success;
  if (errno == EAGAIN || errno == EACCES) return win_error::LockViolation;
  return ErrorFromErrno(errno);
}

}  // namespace platform
