#include "platform/sim/sim_program_context.hpp"

#include "platform/ini_file.hpp"

namespace platform::sim {

ErrorCode SimProgramContext::SetCurrentFolder(std::string_view path) {
  std::string full;
  if (ErrorCode error = files_.FullPath(path, full)) return error;
  std::uint32_t attributes = file_attribute::Invalid;
  if (ErrorCode error = files_.Attributes(full, attributes)) return error;
  if (!(attributes & file_attribute::Directory)) return win_error::PathNotFound;
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  context_.currentFolder = full;
  return win_error::Success;
}

std::string SimProgramContext::TempFolder() {
  std::string folder = context_.tempFolder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::vector<std::pair<std::string, std::string>> SimProgramContext::ReadIniSection(
    std::string_view file, std::string_view section) {
  std::string path(file);
  if (path.find_first_of("\\/:") == std::string::npos) path = context_.windowsFolder + "\\" + path;
  return ReadIniFileSection(files_, path, section);
}

}  // namespace platform::sim
