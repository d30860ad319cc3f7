#pragma once
// Share modes between handles and processes, kept as open-file-description locks on a few
// reserved bytes far above every range a program locks. Each handle holds shared locks on
// the markers of what it does ("I read", "I write") and of what it refuses to others ("I deny
// read", "I deny write", "I deny delete"); a new opener asks whether anybody holds a marker
// that rules it out. A short exclusive lock on a gate byte makes check-and-mark atomic.
#include <cstdint>
#include <functional>

#include "platform/win_types.hpp"

namespace platform {

// The first reserved byte; ranges that programs lock must end at or below it.
inline constexpr std::uint64_t kShareMarkerBase = 0x7FFF'FFFF'0000'0000;

// Checks the access and share mode of a new handle on `fd` against every other handle of the
// file, here and in other processes, and marks them on `fd`. SharingViolation on a conflict.
// `writableDescriptor` tells whether `fd` may take exclusive locks (it is open for writing);
// without that the gate cannot be taken and the check is not atomic.
ErrorCode ClaimShareMode(int fd, bool writableDescriptor, std::uint32_t access,
                         std::uint32_t share);

// Runs `action` (a delete or rename of the file open as `fd`) unless another handle refuses
// deletion, in which case the result is SharingViolation.
ErrorCode WhenDeletable(int fd, bool writableDescriptor, const std::function<ErrorCode()>& action);

}  // namespace platform
