#pragma once
// The product's Start-menu folder "Ostrel" and its entries.
#include <optional>
#include <string>
#include <string_view>

#include "sysinfo/windows_version.hpp"

namespace app {

// The folder for the Windows kind and major version: under the Windows folder on the 95
// family and on NT 4, a fixed path on drive C: on Windows 2000, none on any other version.
std::optional<std::string> StartMenuFolder(sysinfo::WTypes kind, int majorVersion,
                                           std::string_view windowsDir);

// Writes linkBase + ".lnk": a shortcut that runs the target's bare file name in the working
// folder and passes the target's full path as its argument. True when the link was saved.
bool CreateShellLink(std::string_view linkBase, std::string_view target,
                     std::string_view workingFolder);

// Creates the folder and its entries: "Korvane Help.url" and "Readme.txt" copied (from the
// system folder and the current folder), shortcuts to the uninstaller and the help file.
// Failures leave the entry out.
void CreateStartMenuEntries(std::string_view folder, std::string_view systemDir);

}  // namespace app
