#include "platform/path_parts.hpp"

namespace platform {
namespace {

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::size_t NextSeparator(std::string_view path, std::size_t from) {
  while (from < path.size() && !IsPathSeparator(path[from]))
    ++from;
  return from;
}

// "\\server\share": the server name, then the share name, each up to the next separator.
std::size_t NetworkRootLength(std::string_view path) {
  const std::size_t serverEnd = NextSeparator(path, 2);
  return serverEnd >= path.size() ? serverEnd : NextSeparator(path, serverEnd + 1);
}

// Position of the last separator that is not part of the root, or npos.
std::size_t LastSeparator(std::string_view path) {
  const std::size_t root = PathRootLength(path);
  for (std::size_t i = path.size(); i > root; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::string_view::npos;
}

}  // namespace

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && IsLetter(path[0]) && path[1] == ':';
}

bool HasDriveRoot(std::string_view path) {
  return HasDriveLetter(path) && path.size() >= 3 && IsPathSeparator(path[2]);
}

bool IsNetworkPath(std::string_view path) {
  return path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
}

std::size_t PathRootLength(std::string_view path) {
  if (IsNetworkPath(path)) return NetworkRootLength(path);
  if (HasDriveRoot(path)) return 3;
  if (HasDriveLetter(path)) return 2;
  return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

std::string_view PathFolder(std::string_view path) {
  const std::size_t separator = LastSeparator(path);
  return path.substr(0, separator == std::string_view::npos ? PathRootLength(path) : separator);
}

std::string_view PathFileName(std::string_view path) {
  const std::size_t separator = LastSeparator(path);
  return path.substr(separator == std::string_view::npos ? PathRootLength(path) : separator + 1);
}

std::string_view PathExtension(std::string_view path) {
  const std::string_view name = PathFileName(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string_view PathStem(std::string_view path) {
  const std::string_view name = PathFileName(path);
  return name.substr(0, name.size() - PathExtension(name).size());
}

std::string PathWithExtension(std::string_view path, std::string_view extension) {
  std::string result(path.substr(0, path.size() - PathExtension(path).size()));
  result += '.';
  result += extension;
  return result;
}

std::string PathJoin(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) path += '\\';
  path += name;
  return path;
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
  const std::size_t root = PathRootLength(path);
  while (path.size() > root && IsPathSeparator(path.back()))
    path.remove_suffix(1);
  return path;
}

std::string WithTrailingSeparator(std::string_view path) {
  std::string result(path);
  if (!result.empty() && !IsPathSeparator(result.back())) result += '\\';
  return result;
}

}  // namespace platform
