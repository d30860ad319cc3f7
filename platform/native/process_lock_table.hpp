#pragma once
// The byte ranges locked through every handle of this process, per host file. Host
// open-file-description locks keep processes apart but let one handle lock over its own
// ranges; Windows refuses that, so every lock is first checked against this table.
#include <sys/types.h>

#include <compare>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

struct HostFileId {
  dev_t device = 0;
  ino_t inode = 0;
  auto operator<=>(const HostFileId&) const = default;
};

class ProcessLockTable {
 public:
  static ProcessLockTable& Instance();

  // Records the range for `owner` when it overlaps no range locked in this process and
  // `lockHost` succeeds; an overlap is LockViolation, else the result of `lockHost`.
  ErrorCode Lock(HostFileId file, const void* owner, std::uint64_t offset, std::uint64_t length,
                 const std::function<ErrorCode()>& lockHost);
  // Forgets a range `owner` locked with exactly this offset and length once `unlockHost`
  // succeeds; any other range is NotLocked.
  ErrorCode Unlock(HostFileId file, const void* owner, std::uint64_t offset, std::uint64_t length,
                   const std::function<ErrorCode()>& unlockHost);
  // Forgets every range of `owner` (its handle has closed).
  void ReleaseAll(HostFileId file, const void* owner);

 private:
  struct Range {
    const void* owner;
    std::uint64_t offset;
    std::uint64_t length;
  };

  std::mutex mutex_;
  std::map<HostFileId, std::vector<Range>> ranges_;
};

}  // namespace platform
