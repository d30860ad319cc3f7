#pragma once
// Registry keys the installer reads and writes.
#include <string_view>

namespace app::registry_paths {

// The product key, under HKEY_LOCAL_MACHINE (machine key) and, in an older release, under
// HKEY_CURRENT_USER (per-user key).
inline constexpr std::string_view kProductKey = "Software\\KV";
inline constexpr std::string_view kProductKeyFromRoot = "\\Software\\KV";

// Under HKEY_CURRENT_USER.
inline constexpr std::string_view kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr std::string_view kNavigatorProxy =
    "\\Software\\Netscape\\Netscape Navigator\\Proxy Information";

// Under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace app::registry_paths
