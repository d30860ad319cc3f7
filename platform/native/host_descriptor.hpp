#pragma once
// A host file descriptor owned for the length of one operation, closed unless handed over.
#include <unistd.h>

#include <string>
#include <utility>

namespace platform {

class HostDescriptor {
 public:
  explicit HostDescriptor(int fd) : fd_(fd) {}
  ~HostDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  HostDescriptor(const HostDescriptor&) = delete;
  HostDescriptor& operator=(const HostDescriptor&) = delete;

  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// Opens `path` for reading and writing with the extra `flags` (O_CREAT...). When the host
// refuses writing and `readOnlyWillDo`, opens it for reading only. `writable` tells which one
// it got; the result is -1 with errno set on failure.
int OpenPreferringWrite(const std::string& path, int flags, bool readOnlyWillDo, bool& writable);

}  // namespace platform
