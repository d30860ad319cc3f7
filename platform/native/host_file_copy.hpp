#pragma once
// CopyFile between two mapped paths.
#include "platform/native/host_path_resolver.hpp"
#include "platform/win_types.hpp"

namespace platform {

// Copies the contents, then gives the target the source's last-write time and read-only
// attribute. FileNotFound/PathNotFound for a missing source, FileExists when the target is
// there and `failIfExists`, SharingViolation when either file is open in a way that refuses
// the copy, AccessDenied for folders and read-only targets.
ErrorCode CopyHostFile(const MappedPath& source, const MappedPath& target, bool failIfExists);

}  // namespace platform
