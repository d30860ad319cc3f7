#pragma once
// Windows file attributes and find data of a host file or folder.
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/file_system.hpp"

namespace platform {

// Folders are Directory; files are Archive (set on every file written), plus ReadOnly when
// the owner may not write them.
std::uint32_t AttributesFromHost(const struct stat& status);

FindData FindDataFromHost(const std::string& name, const struct stat& status);

}  // namespace platform
