#include "tables/storage/table_names.hpp"

namespace tables {
namespace {

constexpr std::string_view kSeparators = "\\/:";

// Position of the extension's dot in the last part of path, or npos.
std::size_t ExtensionDot(std::string_view path) {
  const auto dot = path.rfind('.');
  if (dot == std::string_view::npos) return dot;
  const auto separator = path.find_last_of(kSeparators);
  return separator != std::string_view::npos && separator > dot ? std::string_view::npos : dot;
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
  const auto separator = path.find_last_of(kSeparators);
  if (separator != std::string_view::npos) path.remove_prefix(separator + 1);
  const auto dot = path.rfind('.');
  return dot == std::string_view::npos ? path : path.substr(0, dot);
}

std::string XbWithExtension(std::string_view path, std::string_view ext) {
  const auto dot = ExtensionDot(path);
  std::string result(dot == std::string_view::npos ? path : path.substr(0, dot));
  result += '.';
  result += ext;
  return result;
}

}  // namespace tables
