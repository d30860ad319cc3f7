#include "tools/mkdist/dist_folder.hpp"

#include <memory>
#include <string>

#include "platform/exception.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"
#include "tools/mkdist/dist_contents.hpp"
#include "tools/mkdist/product_tables.hpp"

namespace mkdist {
namespace {

[[noreturn]] void CannotWrite(const std::string& path, platform::ErrorCode error) {
  throw platform::Exception("Cannot write \"" + path + "\" (Windows error " +
                            std::to_string(error) + ")");
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  std::unique_ptr<platform::File> file;
  platform::ErrorCode error =
      files.Open(path, platform::file_access::GenericRead | platform::file_access::GenericWrite,
                 platform::file_share::None, platform::Disposition::CreateAlways, file);
  if (error != platform::win_error::Success) CannotWrite(path, error);
  std::uint32_t written = 0;
  error = file->WriteAt(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
  if (error == platform::win_error::Success && written != bytes.size()) {
    error = platform::win_error::DiskFull;
  }
  if (error != platform::win_error::Success) CannotWrite(path, error);
}

void WriteUninstallShortcut(std::string_view folder) {
  platform::Machine& machine = platform::CurrentMachine();
  std::string systemFolder = machine.program().SystemFolder();
  platform::ShellLinkData link;
  link.path = platform::PathJoin(systemFolder, "OsUninstall.exe");
  link.workingFolder = systemFolder;
  link.description = "Uninstall Korvane";
  std::string path = platform::PathJoin(folder, "Uninstal.lnk");
  platform::ErrorCode error = machine.shell().SaveLink(link, path);
  if (error != platform::win_error::Success) CannotWrite(path, error);
}

}  // namespace

void FillSetupFolder(std::string_view folder) {
  platform::ErrorCode error = platform::CurrentMachine().files().MakeFolder(folder);
  if (error != platform::win_error::Success) {
    throw platform::Exception("Cannot create the folder \"" + std::string(folder) +
                              "\" (Windows error " + std::to_string(error) + ")");
  }
  for (const DistFile& file : DistributionFiles())
    WriteFile(platform::PathJoin(folder, file.name), file.bytes);
  WriteShippedTables(folder);
  WriteUninstallShortcut(folder);
}

}  // namespace mkdist
