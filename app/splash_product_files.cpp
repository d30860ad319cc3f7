#include "app/splash_product_files.hpp"

#include <array>

#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace app {
namespace {

constexpr std::array<std::string_view, 6> kMarkerFiles{"KV015.dat", "KV025.dat", "KV035.dat",
                                                       "KV100.dat", "KVUS.dat",  "KVLog.dat"};

constexpr std::array<ProductFile, 23> kProductFiles{{
    {"KVconf.dat", false},   {"KVconf.fpt", false}, {"KVWords.dat", true},
    {"KV015.dat", false},    {"KV025.dat", false},  {"KV035.dat", false},
    {"KV100.dat", false},    {"KVLog.dat", false},  {"KVUS.dat", false},
    {"Qalvint.exe", false},  {"Dorsk6.exe", false}, {"OsUninstall.exe", false},
    {"Uninstal.lnk", false}, {"Oslogo.ico", false}, {"nfd.sys", false},
    {"login.wav", false},    {"logout.wav", false}, {"Uhoh.wav", false},
    {"kvlogo.bmp", false},   {"Oshelp.cnt", false}, {"Oshelp.hlp", false},
    {"Oshelp.hpj", false},   {"psapi.dll", true},
}};

constexpr std::array<std::string_view, 8> kStaleIndexFiles{"KV015.cdx",   "KV025.cdx", "KV035.cdx",
                                                           "KV100.cdx",   "KVUS.cdx",  "KVLog.cdx",
                                                           "KVWords.cdx", "Oshelp.gid"};

}  // namespace

std::span<const std::string_view> InstallMarkerFiles() {
  return kMarkerFiles;
}

std::span<const ProductFile> ProductFiles() {
  return kProductFiles;
}

std::span<const std::string_view> StaleIndexFiles() {
  return kStaleIndexFiles;
}

bool HasEarlierInstallation(std::string_view systemDir) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  for (std::string_view name : kMarkerFiles) {
    if (files.Exists(platform::PathJoin(systemDir, name))) return true;
  }
  return false;
}

std::string FromCurrentFolder(std::string_view name) {
  return std::string(name);
}

std::vector<std::string> CopyProductFiles(std::string_view systemDir,
                                          const ProductFileSource& sourceOf) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  std::vector<std::string> notReplaced;
  for (const ProductFile& file : ProductFiles()) {
    std::string target = platform::PathJoin(systemDir, file.name);
    if (file.keepExisting && files.Exists(target)) continue;
    // A copy that fails (for example onto a program still running) is noted.
    if (files.Copy(sourceOf(file.name), target, false) != platform::win_error::Success)
      notReplaced.push_back(std::move(target));
  }
  return notReplaced;
}

void DeleteStaleIndexFiles(std::string_view setupDir, std::string_view systemDir) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  for (std::string_view folder : {setupDir, systemDir}) {
    for (std::string_view name : kStaleIndexFiles)
      files.Remove(platform::PathJoin(folder, name));
  }
}

}  // namespace app
