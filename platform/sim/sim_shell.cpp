#include "platform/sim/sim_shell.hpp"

#include "platform/ini_text.hpp"
#include "platform/native/shell_link_format.hpp"
#include "platform/path_parts.hpp"

namespace platform::sim {
namespace {

bool IsProgram(std::string_view path) {
  const std::string_view extension = PathExtension(path);
  return SameIniName(extension, ".exe") || SameIniName(extension, ".com");
}

}  // namespace

ErrorCode SimShell::SaveLink(const ShellLinkData& link, std::string_view linkFile) {
  return SaveShellLink(files_, link, linkFile);
}

bool SimShell::FindFile(std::string_view file, std::string_view folder, std::string& found) {
  std::vector<std::string> candidates;
  if (!PathFolder(file).empty()) {
    candidates.emplace_back(file);
  } else {
    if (!folder.empty()) candidates.push_back(PathJoin(folder, file));
    for (const std::string* place :
         {&context_.currentFolder, &context_.systemFolder, &context_.windowsFolder})
      candidates.push_back(PathJoin(*place, file));
  }
  for (const auto& candidate : candidates) {
    std::uint32_t attributes = file_attribute::Invalid;
    if (files_.Attributes(candidate, attributes) != win_error::Success ||
        (attributes & file_attribute::Directory))
      continue;
    return files_.FullPath(candidate, found) == win_error::Success;
  }
  return false;
}

ErrorCode SimShell::Execute(std::string_view file, std::string_view, std::string_view folder, int) {
  std::string path;
  if (file.empty() || !FindFile(file, folder, path)) return win_error::FileNotFound;
  if (!IsProgram(path)) return win_error::NoAssociation;
  processes_.StartProgram(path);
  return win_error::Success;
}

}  // namespace platform::sim
