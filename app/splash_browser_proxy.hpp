#pragma once
// Saving the browsers' proxy settings into the machine key and pointing Netscape Navigator at
// the product's local filtering proxy (127.0.0.1, port 6711).
#include <string_view>

#include "framework/registry/registry.hpp"

namespace app {

inline constexpr std::string_view kLocalProxyHost = "127.0.0.1";
inline constexpr int kLocalProxyPort = 6711;
inline constexpr std::string_view kNetscapeUsersFolder = "C:\\Program Files\\Netscape\\Users\\";

// Opens the Internet Settings key of the current user without create into `internetSettings`
// (which keeps it open for the older-release step) and saves its proxy values into the open
// machine key. The "Old" values are written only while the machine key lacks them; DWORD and
// string values only on a new installation, raw bytes always.
void SaveInternetSettings(framework::TRegistry& internetSettings, framework::TRegistry& machineKey,
                          bool existingInstall);

// Calls RecordNetscapePrefs for every entry without an extension in the Netscape users folder.
void ScanNetscapeProfiles();

// Records the proxy lines of the profile folder's "Prefs.JS" in the machine key's "NS" values
// that do not exist yet. The preference file itself is not changed.
void RecordNetscapePrefs(std::string_view profileFolder);

// Saves Navigator's proxy host, port and type into the machine key and points them at the
// local proxy. A value that already points there keeps the copy an earlier installation saved.
void RedirectNetscapeProxy();

// Moves the "NS" values an older release kept under Internet Settings into the machine key and
// deletes "OldAutoDial" there. `internetSettings` is the key SaveInternetSettings opened.
void MoveOlderReleaseValues(framework::TRegistry& internetSettings,
                            framework::TRegistry& machineKey);

}  // namespace app
