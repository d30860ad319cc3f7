#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/native/host_descriptor.hpp"
#include "platform/native/host_errors.hpp"
#include "platform/native/host_file.hpp"
#include "platform/native/share_mode_locks.hpp"

namespace platform {
namespace {

int CreationFlags(Disposition disposition) {
  switch (disposition) {
    case Disposition::CreateNew:
      return O_CREAT | O_EXCL;
    case Disposition::CreateAlways:
    case Disposition::OpenAlways:
      return O_CREAT;
    case Disposition::OpenExisting:
    case Disposition::TruncateExisting:
      return 0;
  }
  return 0;
}

bool KnownDisposition(Disposition disposition) {
  const auto value = static_cast<std::uint32_t>(disposition);
  return value >= static_cast<std::uint32_t>(Disposition::CreateNew) &&
         value <= static_cast<std::uint32_t>(Disposition::TruncateExisting);
}

}  // namespace

ErrorCode OpenHostFile(const MappedPath& path, std::uint32_t access, std::uint32_t share,
                       Disposition disposition, std::unique_ptr<File>& result,
                       const std::function<FileTime()>& writeTime) {
  result.reset();
  if (!KnownDisposition(disposition)) return win_error::InvalidParameter;
  if (!path.parentExists) return win_error::PathNotFound;
  if (path.isRoot) return win_error::AccessDenied;
  const bool writes = (access & file_access::GenericWrite) != 0;
  if (disposition == Disposition::TruncateExisting && !writes) return win_error::InvalidParameter;
  const bool mayCreate = disposition != Disposition::OpenExisting &&
                         disposition != Disposition::TruncateExisting && !path.exists;
  if (path.readOnlyVolume && (writes || mayCreate || disposition == Disposition::CreateAlways ||
                              disposition == Disposition::TruncateExisting)) {
    return win_error::AccessDenied;
  }

  bool writableDescriptor = false;
  const int fd =
      OpenPreferringWrite(path.host, CreationFlags(disposition), !writes, writableDescriptor);
  if (fd < 0) return ErrorFromErrno(errno, path.parentExists);
  HostDescriptor descriptor(fd);

  struct stat status {};
  if (fstat(fd, &status) != 0) return ErrorFromErrno(errno);
  if (S_ISDIR(status.st_mode)) return win_error::AccessDenied;
  const bool truncates = disposition == Disposition::TruncateExisting ||
                         (disposition == Disposition::CreateAlways && path.exists);
  // A file without the owner's write permission carries the read-only attribute, which
  // refuses writers even to a host user that could write anyway.
  const bool readOnly = (status.st_mode & S_IWUSR) == 0;
  if ((writes || truncates) && (readOnly || !writableDescriptor)) {
    return win_error::AccessDenied;
  }

  const ErrorCode shared = ClaimShareMode(fd, writableDescriptor, access, share);
  if (shared != win_error::Success) return shared;
  if (truncates && ftruncate(fd, 0) != 0) return ErrorFromErrno(errno);

  const HostFileId id{status.st_dev, status.st_ino};
  result = std::make_unique<HostFile>(descriptor.release(), id, writableDescriptor, access,
                                      writeTime, mayCreate || truncates);
  return win_error::Success;
}

}  // namespace platform
