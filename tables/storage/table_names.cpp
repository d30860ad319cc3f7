#include "tables/storage/table_names.hpp"

#include "platform/path_parts.hpp"

namespace tables {
namespace {

// Position of the extension's dot in the last name of path, or npos.
std::size_t ExtensionDot(std::string_view path) {
  const std::string_view extension = platform::PathExtension(path);
  return extension.empty() ? std::string_view::npos : path.size() - extension.size();
}

}  // namespace

std::string XbTableFileName(platform::CodePages& casing, std::string_view name) {
  const auto first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return ".DBF";
  name = name.substr(first, name.find_last_not_of(' ') - first + 1);
  std::string result = casing.Upper(name);
  if (ExtensionDot(result) == std::string::npos) result += ".DBF";
  return result;
}

std::string_view XbBaseName(std::string_view path) {
  return platform::PathStem(path);
}

std::string XbWithExtension(std::string_view path, std::string_view ext) {
  return platform::PathWithExtension(path, ext);
}

}  // namespace tables
