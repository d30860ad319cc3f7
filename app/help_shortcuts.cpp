#include "app/help_shortcuts.hpp"

#include "app/splash_product_files.hpp"
#include "platform/machine.hpp"

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
  std::size_t lastBackslash = target.rfind('\\');
  link.path = std::string(
      lastBackslash == std::string_view::npos ? target : target.substr(lastBackslash + 1));
  link.workingFolder = std::string(workingFolder);
  return platform::CurrentMachine().shell().SaveLink(link, std::string(linkBase) + ".lnk") ==
         platform::win_error::Success;
}

void CreateStartMenuEntries(std::string_view folder, std::string_view systemDir) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  files.MakeFolder(folder);
  files.Copy(InFolder(systemDir, "Korvane Help.url"), InFolder(folder, "Korvane Help.url"), false);
  CreateShellLink(InFolder(folder, "OsUninstall"), InFolder(systemDir, "OsUninstall.exe"),
                  systemDir);
  CreateShellLink(InFolder(folder, "Oshelp"), InFolder(systemDir, "Oshelp.hlp"), systemDir);
  files.Copy("readme.txt", InFolder(folder, "Readme.txt"), false);
}

}  // namespace app
