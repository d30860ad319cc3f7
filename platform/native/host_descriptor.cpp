#include "platform/native/host_descriptor.hpp"

#include <fcntl.h>

#include <cerrno>

namespace platform {

int OpenPreferringWrite(const std::string& path, int flags, bool readOnlyWillDo, bool& writable) {
  writable = true;
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | flags, 0666);
  if (fd >= 0 || !readOnlyWillDo) return fd;
  if (errno != EACCES && errno != EPERM && errno != EROFS) return fd;
  writable = false;
  return open(path.c_str(), O_RDONLY | O_CLOEXEC | flags, 0666);
}

}  // namespace platform
