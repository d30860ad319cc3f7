#pragma once
// FindFirstFile/FindNextFile over a mapped search path.
#include <vector>

#include "platform/file_system.hpp"
#include "platform/native/host_path_resolver.hpp"

namespace platform {

// The entries of `pattern.folder` whose names match the pattern's last part, "." and ".."
// first where Windows reports them (every folder but a volume root), the rest ordered by name
// without regard to case. PathNotFound when the folder is missing, FileNotFound when nothing
// matches.
ErrorCode FindHostEntries(const MappedPath& pattern, std::vector<FindData>& result);

}  // namespace platform
