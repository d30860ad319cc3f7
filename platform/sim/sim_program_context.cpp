#include "platform/sim/sim_program_context.hpp"

#include "platform/ini_file.hpp"
#include "platform/path_parts.hpp"

namespace platform::sim {

ErrorCode SimProgramContext::SetCurrentFolder(std::string_view path) {
  std::string full;
  if (ErrorCode error = files_.FullPath(path, full)) return error;
  std::uint32_t attributes = file_attribute::Invalid;
  if (ErrorCode error = files_.Attributes(full, attributes)) return error;
  if (!(attributes & file_attribute::Directory)) return win_error::PathNotFound;
  context_.currentFolder = WithoutTrailingSeparators(full);
  return win_error::Success;
}

std::string SimProgramContext::TempFolder() {
  return WithTrailingSeparator(context_.tempFolder);
}

std::vector<std::pair<std::string, std::string>> SimProgramContext::ReadIniSection(
    std::string_view file, std::string_view section) {
  // A bare file name is one in the Windows folder, as for GetPrivateProfileString.
  const std::string path =
      PathFolder(file).empty() ? PathJoin(context_.windowsFolder, file) : std::string(file);
  return ReadIniFileSection(files_, path, section);
}

}  // namespace platform::sim
