#include "tables/storage/lock_retry.hpp"

namespace tables {

bool XbLockWithRetries(XBO_DiskFile& file, XbLockRegion region) {
  for (int attempt = 1;; ++attempt) {
    if (file.LockRegion(region.offset, region.length)) return true;
    if (attempt == kLockAttempts) return false;
    file.machine().clock().Sleep(kLockRetryInterval);
  }
}

}  // namespace tables
