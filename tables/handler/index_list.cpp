#include "tables/handler/index_list.hpp"

#include "platform/path_parts.hpp"

namespace tables {
namespace {

bool IsListSeparator(char c) {
  return c == ' ' || c == ',' || c == ';';
}

}  // namespace

std::vector<std::string> XbIndexListNames(std::string_view list) {
  std::vector<std::string> names;
  std::string name;
  bool quoted = false;
  for (const char c : list) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsListSeparator(c)) {
      if (!name.empty()) names.push_back(std::move(name));
      name.clear();
    } else {
      name += c;
    }
  }
  if (!name.empty()) names.push_back(std::move(name));
  return names;
}

std::string XbIndexFilePath(platform::CodePages& casing, std::string_view tableFolder,
                            std::string_view name) {
  std::string path = casing.Upper(name);
  if (platform::PathFolder(path).empty() && platform::PathRootLength(path) == 0) {
    path = platform::PathJoin(casing.Upper(tableFolder), path);
  }
  if (platform::PathExtension(path).empty()) path += ".NDX";
  return path;
}

}  // namespace tables
