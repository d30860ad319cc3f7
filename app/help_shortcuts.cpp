#include "app/help_shortcuts.hpp"

#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace app {

std::optional<std::string> StartMenuFolder(sysinfo::WTypes kind, int majorVersion,
                                           std::string_view windowsDir) {
  if (kind == sysinfo::z_95) return std::string(windowsDir) + "\\Start Menu\\Programs\\Ostrel";
  if (kind == sysinfo::z_NT && majorVersion == 4) {
    return std::string(windowsDir) + "\\Profiles\\All Users\\Start Menu\\Programs\\Ostrel";
  }
  if (kind == sysinfo::z_NT && majorVersion == 5) {
    return std::string("c:\\documents and settings\\all users\\start menu\\programs\\Ostrel");
  }
  return std::nullopt;
}

bool CreateShellLink(std::string_view linkBase, std::string_view target,
                     std::string_view workingFolder) {
  platform::ShellLinkData link;
  link.arguments = std::string(target);
  link.path = platform::PathFileName(target);
  link.workingFolder = std::string(workingFolder);
  return platform::CurrentMachine().shell().SaveLink(link, std::string(linkBase) + ".lnk") ==
         platform::win_error::Success;
}

void CreateStartMenuEntries(std::string_view folder, std::string_view systemDir) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  files.MakeFolder(folder);
  files.Copy(platform::PathJoin(systemDir, "Korvane Help.url"),
             platform::PathJoin(folder, "Korvane Help.url"), false);
  CreateShellLink(platform::PathJoin(folder, "OsUninstall"),
                  platform::PathJoin(systemDir, "OsUninstall.exe"), systemDir);
  CreateShellLink(platform::PathJoin(folder, "Oshelp"), platform::PathJoin(systemDir, "Oshelp.hlp"),
                  systemDir);
  files.Copy("readme.txt", platform::PathJoin(folder, "Readme.txt"), false);
}

}  // namespace app
