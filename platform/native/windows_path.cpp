#include "platform/native/windows_path.hpp"

namespace platform {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && IsLetter(path[0]) && path[1] == ':';
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
  result.trailingSeparator = !relative.empty() && IsSeparator(relative.back());
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = start;
    while (end < relative.size() && !IsSeparator(relative[end]))
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
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return win_error::PathNotFound;  // no network on this machine
  }
  if (HasDrive(path) && path.size() >= 3 && IsSeparator(path[2])) {
    result.drive = UpperLetter(path[0]);
    return AddComponents(path.substr(3), last, result);
  }
  WindowsPath current;
  if (!HasDrive(currentFolder) ||
      ParseWindowsPath(currentFolder, {}, LastPart::Name, current) != win_error::Success) {
    return win_error::PathNotFound;
  }
  if (HasDrive(path)) {
    result.drive = UpperLetter(path[0]);
    if (result.drive == current.drive) result.components = current.components;
    return AddComponents(path.substr(2), last, result);
  }
  result.drive = current.drive;
  if (!IsSeparator(path[0])) result.components = current.components;
  return AddComponents(path, last, result);
}

}  // namespace platform
