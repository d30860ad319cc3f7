#pragma once
// The kind and version of the running Windows, from the version record.
#include <cstdint>
#include <string>

#include "platform/system_info.hpp"

namespace sysinfo {

enum WTypes { z_Windows = 0, z_WFW = 1, z_Win32S = 2, z_NT = 3, z_95 = 4 };

struct WindowsVersion {
  WTypes kind = z_Windows;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;  // the low 16 bits of the build number
};

// Platform id 0 is Win32s, 1 the Windows 95 family, 2 the NT family; others stay z_Windows.
WindowsVersion ReadWindowsVersion(const platform::VersionRecord& record);
// "Windows NT 4.0 (Build: 1381)", "Windows'95 4.10 (Build: 1998)", ...
std::string WindowsString(const WindowsVersion& version);

}  // namespace sysinfo
