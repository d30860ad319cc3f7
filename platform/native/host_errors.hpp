#pragma once
// Host errno values as the Win32 error numbers the same failure gives on Windows.
#include "platform/win_types.hpp"

namespace platform {

// `parentExists` tells whether the folder that should hold the last component of the path
// exists: a missing name is FileNotFound there and PathNotFound otherwise, as on Windows.
ErrorCode ErrorFromErrno(int error, bool parentExists = true);

}  // namespace platform
