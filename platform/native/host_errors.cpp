#include "platform/native/host_errors.hpp"

#include <cerrno>

namespace platform {

ErrorCode ErrorFromErrno(int error, bool parentExists) {
  switch (error) {
    case 0:
      return win_error::Success;
    case ENOENT:
      return parentExists ? win_error::FileNotFound : win_error::PathNotFound;
    case ENOTDIR:
    case ELOOP:
      return win_error::PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
    case ETXTBSY:
      return win_error::AccessDenied;
    case EEXIST:
      return win_error::FileExists;
    case ENOTEMPTY:
      return win_error::DirNotEmpty;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return win_error::DiskFull;
    case EMFILE:
    case ENFILE:
      return win_error::TooManyOpenFiles;
    case ENOMEM:
    case ENOLCK:
      return win_error::NotEnoughMemory;
    case EROFS:
      return win_error::WriteProtect;
    case ENAMETOOLONG:
      return win_error::InvalidName;
    case EBADF:
      return win_error::InvalidHandle;
    case EAGAIN:
      return win_error::LockViolation;
    case ENOMEDIUM:
    case ENXIO:
    case ENODEV:
    case EIO:
      return win_error::NotReady;
    case EINVAL:
    case EOVERFLOW:
      return win_error::InvalidParameter;
    default:
      return win_error::AccessDenied;
  }
}

}  // namespace platform
