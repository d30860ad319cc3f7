#include "sysinfo/windows_version.hpp"

#include <cstdio>

namespace sysinfo {

WindowsVersion ReadWindowsVersion(const platform::VersionRecord& record) {
  WindowsVersion version;
  switch (record.platformId) {
    case platform::platform_id::Win32s:
      version.kind = z_Win32S;
      break;
    case platform::platform_id::Windows:
      version.kind = z_95;
      break;
    case platform::platform_id::Nt:
      version.kind = z_NT;
      break;
    default:
      version.kind = z_Windows;
      break;
  }
  version.major = record.major;
  version.minor = record.minor;
  version.build = record.build & 0xFFFF;
  return version;
}

std::string WindowsString(const WindowsVersion& version) {
  const char* format = "Windows %u.%u";
  switch (version.kind) {
    case z_WFW:
      format = "Windows for Workgroups %u.%u";
      break;
    case z_Win32S:
      format = "Win32S %u.%u (Build: %u)";
      break;
    case z_NT:
      format = "Windows NT %u.%u (Build: %u)";
      break;
    case z_95:
      format = "Windows'95 %u.%u (Build: %u)";
      break;
    case z_Windows:
      break;
  }
  char text[80];
  std::snprintf(text, sizeof text, format, version.major, version.minor, version.build);
  return text;
}

}  // namespace sysinfo
