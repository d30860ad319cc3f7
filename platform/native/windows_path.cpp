#include "platform/native/windows_path.hpp"

#include "platform/path_parts.hpp"

namespace platform {
namespace {

char UpperLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool RefusedInNames(char c, bool wildcardsAllowed) {
  if (static_cast<unsigned char>(c) < 32) return true;
  switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
      return true;
    case '*':
    case '?':
      return !wildcardsAllowed;
    default:
      return false;
  }
}

// Windows ignores dots and blanks at the end of a name ("KV015.DAT." is "KV015.DAT").
std::string WithoutTrailingDotsAndBlanks(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' '))
    name.remove_suffix(1);
  return std::string(name);
}

// Appends the components of `relative` to `result`, applying "." and "..".
ErrorCode AddComponents(std::string_view relative, LastPart last, WindowsPath& result) {
  result.trailingSeparator = !relative.empty() && IsPathSeparator(relative.back());
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = start;
    while (end < relative.size() && !IsPathSeparator(relative[end]))
      ++end;
    const std::string_view part = relative.substr(start, end - start);
    const bool isLast = end >= relative.size();
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!result.components.empty()) result.components.pop_back();
      continue;
    }
    const bool keepAsWritten = isLast && last == LastPart::Pattern;
    for (char c : part) {
      if (RefusedInNames(c, keepAsWritten)) return win_error::InvalidName;
    }
    std::string name = keepAsWritten ? std::string(part) : WithoutTrailingDotsAndBlanks(part);
    if (!name.empty()) result.components.push_back(std::move(name));
  }
  if (result.components.empty()) result.trailingSeparator = false;
  return win_error::Success;
}

}  // namespace

std::string WindowsPath::Text() const {
  std::string text{drive, ':', '\\'};
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0) text += '\\';
    text += components[i];
  }
  if (trailingSeparator) text += '\\';
  return text;
}

ErrorCode ParseWindowsPath(std::string_view path, std::string_view currentFolder, LastPart last,
                           WindowsPath& result) {
  result = WindowsPath{};
  if (path.empty()) return win_error::PathNotFound;
  if (IsNetworkPath(path)) {
    return win_error::PathNotFound;  // no network on this machine
  }
  if (HasDriveRoot(path)) {
    result.drive = UpperLetter(path[0]);
    return AddComponents(path.substr(3), last, result);
  }
  WindowsPath current;
  if (!HasDriveLetter(currentFolder) ||
      ParseWindowsPath(currentFolder, {}, LastPart::Name, current) != win_error::Success) {
    return win_error::PathNotFound;
  }
  if (HasDriveLetter(path)) {
    result.drive = UpperLetter(path[0]);
    if (result.drive == current.drive) result.components = current.components;
    return AddComponents(path.substr(2), last, result);
  }
  result.drive = current.drive;
  if (!IsPathSeparator(path[0])) result.components = current.components;
  return AddComponents(path, last, result);
}

}  // namespace platform
