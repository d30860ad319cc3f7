#include "platform/native/process_lock_table.hpp"

#include <algorithm>

namespace platform {
namespace {

// Empty ranges lock nothing, so they never collide.
bool Overlaps(std::uint64_t offset, std::uint64_t length, std::uint64_t otherOffset,
              std::uint64_t otherLength) {
  return length != 0 && otherLength != 0 && offset < otherOffset + otherLength &&
         otherOffset < offset + length;
}

}  // namespace

ProcessLockTable& ProcessLockTable::Instance() {
  // Never destroyed: handles held by other process-wide objects may close during exit.
  static ProcessLockTable* const table = new ProcessLockTable;
  return *table;
}

ErrorCode ProcessLockTable::Lock(HostFileId file, const void* owner, std::uint64_t offset,
                                 std::uint64_t length, const std::function<ErrorCode()>& lockHost) {
  std::lock_guard guard(mutex_);
  auto found = ranges_.find(file);
  if (found != ranges_.end()) {
    const std::vector<Range>& ranges = found->second;
    const bool taken = std::any_of(ranges.begin(), ranges.end(), [&](const Range& range) {
      return Overlaps(offset, length, range.offset, range.length);
    });
    if (taken) return win_error::LockViolation;
  }
  const ErrorCode result = lockHost();
  if (result == win_error::Success) ranges_[file].push_back({owner, offset, length});
  return result;
}

ErrorCode ProcessLockTable::Unlock(HostFileId file, const void* owner, std::uint64_t offset,
                                   std::uint64_t length,
                                   const std::function<ErrorCode()>& unlockHost) {
  std::lock_guard guard(mutex_);
  auto found = ranges_.find(file);
  if (found == ranges_.end()) return win_error::NotLocked;
  std::vector<Range>& ranges = found->second;
  auto range = std::find_if(ranges.begin(), ranges.end(), [&](const Range& held) {
    return held.owner == owner && held.offset == offset && held.length == length;
  });
  if (range == ranges.end()) return win_error::NotLocked;
  const ErrorCode result = unlockHost();
  if (result != win_error::Success) return result;
  ranges.erase(range);
  if (ranges.empty()) ranges_.erase(found);
  return win_error::Success;
}

void ProcessLockTable::ReleaseAll(HostFileId file, const void* owner) {
  std::lock_guard guard(mutex_);
  auto found = ranges_.find(file);
  if (found == ranges_.end()) return;
  std::erase_if(found->second, [&](const Range& range) { return range.owner == owner; });
  if (found->second.empty()) ranges_.erase(found);
}

}  // namespace platform
