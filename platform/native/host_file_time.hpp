#pragma once
// Host time stamps as FILETIME values (100 ns steps since 1 January 1601, UTC) and back.
#include <ctime>

#include "platform/win_types.hpp"

namespace platform {

FileTime FileTimeFromHost(const timespec& time);
timespec HostTimeFromFileTime(FileTime time);

}  // namespace platform
