#pragma once
// Locks that writers of memo and index files wait for: the engine's wait of 5000 ms divided
// into attempts 50 ms apart on the machine clock.
#include "tables/storage/disk_file.hpp"
#include "tables/storage/lock_protocol.hpp"

namespace tables {

inline constexpr int kLockAttempts = 100;
inline constexpr std::uint32_t kLockRetryInterval = 50;  // milliseconds

// True once the region is locked; false after kLockAttempts failed attempts (the file's
// LastError then holds the last system error).
bool XbLockWithRetries(XBO_DiskFile& file, XbLockRegion region);

}  // namespace tables
