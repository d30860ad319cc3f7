#include "platform/sim/library_search.hpp"

#include "platform/path_parts.hpp"

namespace platform::sim {
namespace {

bool IsFile(FileSystem& files, std::string_view path) {
  std::uint32_t attributes = 0;
  return files.Attributes(path, attributes) == win_error::Success &&
         !(attributes & file_attribute::Directory);
}

}  // namespace

std::optional<std::string> LibrarySearch::Find(std::string_view name) const {
  if (name.empty()) return std::nullopt;
  if (name.find('\\') != std::string_view::npos) {
    if (IsFile(files_, name)) return std::string(name);
    return std::nullopt;
  }
  for (const std::string* folder : {&programFolder_, &context_.currentFolder,
                                    &context_.systemFolder, &context_.windowsFolder}) {
    if (folder->empty()) continue;
    std::string candidate = PathJoin(*folder, name);
    if (IsFile(files_, candidate)) return candidate;
  }
  return std::nullopt;
}

}  // namespace platform::sim
