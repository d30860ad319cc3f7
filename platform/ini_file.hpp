#pragma once
// A section of a program's INI file read through a platform file system, as
// GetPrivateProfileSection reads it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.hpp"

namespace platform {

// The key=value pairs of the first section of that name, in file order (see IniSectionEntries);
// nothing when the file cannot be opened or read.
std::vector<std::pair<std::string, std::string>> ReadIniFileSection(FileSystem& files,
                                                                    std::string_view path,
                                                                    std::string_view section);

}  // namespace platform
