#include "platform/native/share_mode_locks.hpp"

#include <fcntl.h>

#include <cerrno>

#include "platform/native/host_errors.hpp"

namespace platform {
namespace {

enum class Marker : std::uint64_t {
  Reading = 0,
  Writing = 1,
  DenyingRead = 2,
  DenyingWrite = 3,
  DenyingDelete = 4,
  Gate = 5,
};

flock MarkerRange(Marker marker, short type) {
  flock range{};
  range.l_type = type;
  range.l_whence = SEEK_SET;
  range.l_start = static_cast<off_t>(kShareMarkerBase + static_cast<std::uint64_t>(marker));
  range.l_len = 1;
  return range;
}

// Whether another open file description holds a lock on the marker.
ErrorCode HeldElsewhere(int fd, Marker marker, bool& held) {
  flock probe = MarkerRange(marker, F_WRLCK);
  if (fcntl(fd, F_OFD_GETLK, &probe) != 0) return ErrorFromErrno(errno);
  held = probe.l_type != F_UNLCK;
  return win_error::Success;
}

ErrorCode Hold(int fd, Marker marker) {
  flock range = MarkerRange(marker, F_RDLCK);
  if (fcntl(fd, F_OFD_SETLK, &range) == 0) return win_error::Success;
  return ErrorFromErrno(errno);
}

// Holds the gate (an exclusive lock, waited for) for the lifetime of the object.
class Gate {
 public:
  Gate(int fd, bool writableDescriptor) : fd_(writableDescriptor ? fd : -1) {
    if (fd_ < 0) return;
    flock range = MarkerRange(Marker::Gate, F_WRLCK);
    while (fcntl(fd_, F_OFD_SETLKW, &range) != 0 && errno == EINTR) {
    }
  }
  ~Gate() {
    if (fd_ < 0) return;
    flock range = MarkerRange(Marker::Gate, F_UNLCK);
    fcntl(fd_, F_OFD_SETLK, &range);
  }
  Gate(const Gate&) = delete;
  Gate& operator=(const Gate&) = delete;

 private:
  int fd_;
};

}  // namespace

ErrorCode ClaimShareMode(int fd, bool writableDescriptor, std::uint32_t access,
                         std::uint32_t share) {
  const bool reads = (access & file_access::GenericRead) != 0;
  const bool writes = (access & file_access::GenericWrite) != 0;
  // A handle without data access (attributes only) neither takes part nor is refused.
  if (!reads && !writes) return win_error::Success;
  const bool deniesRead = (share & file_share::Read) == 0;
  const bool deniesWrite = (share & file_share::Write) == 0;
  const bool deniesDelete = (share & file_share::Delete) == 0;

  Gate gate(fd, writableDescriptor);
  // What this handle does must not be denied by another, and what it denies must not be done.
  const std::pair<bool, Marker> conflicts[] = {{reads, Marker::DenyingRead},
                                               {writes, Marker::DenyingWrite},
                                               {deniesRead, Marker::Reading},
                                               {deniesWrite, Marker::Writing}};
  for (const auto& [applies, marker] : conflicts) {
    if (!applies) continue;
    bool held = false;
    const ErrorCode result = HeldElsewhere(fd, marker, held);
    if (result != win_error::Success) return result;
    if (held) return win_error::SharingViolation;
  }
  const std::pair<bool, Marker> marks[] = {{reads, Marker::Reading},
                                           {writes, Marker::Writing},
                                           {deniesRead, Marker::DenyingRead},
                                           {deniesWrite, Marker::DenyingWrite},
                                           {deniesDelete, Marker::DenyingDelete}};
  for (const auto& [wanted, marker] : marks) {
    if (!wanted) continue;
    const ErrorCode result = Hold(fd, marker);
    if (result != win_error::Success) return result;
  }
  return win_error::Success;
}

ErrorCode WhenDeletable(int fd, bool writableDescriptor, const std::function<ErrorCode()>& action) {
  Gate gate(fd, writableDescriptor);
  bool held = false;
  const ErrorCode result = HeldElsewhere(fd, Marker::DenyingDelete, held);
  if (result != win_error::Success) return result;
  if (held) return win_error::SharingViolation;
  return action();
}

}  // namespace platform
