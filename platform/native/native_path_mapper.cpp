#include "platform/native/native_path_mapper.hpp"

#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/native/host_errors.hpp"

namespace platform {
namespace {

std::string CurrentHostFolder() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// The components of the absolute form of `path`, "." and ".." applied without looking at
// the disk (as GetFullPathName does).
std::vector<std::string> AbsoluteComponents(std::string_view path) {
  std::string text(path);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  if (text.empty() || text.front() != '/') text = CurrentHostFolder() + "/" + text;
  std::vector<std::string> components;
  std::istringstream parts(text);
  for (std::string part; std::getline(parts, part, '/');) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    components.push_back(part);
  }
  return components;
}

bool IsOctalDigit(char c) {
  return c >= '0' && c <= '7';
}

// /proc/self/mounts writes blanks and backslashes in mount points as octal escapes ("\040").
std::string UnescapeMountField(const std::string& field) {
  std::string result;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const bool escape = field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
                        IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3]);
    if (!escape) {
      result += field[i];
      continue;
    }
    result += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
    i += 3;
  }
  return result;
}

bool MountCovers(const std::string& mountPoint, const std::string& path) {
  if (mountPoint == "/") return true;
  return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

std::string WindowsFileSystemName(const std::string& hostType) {
  if (hostType == "vfat" || hostType == "msdos" || hostType == "fat") return "FAT";
  if (hostType == "ntfs" || hostType == "ntfs3") return "NTFS";
  if (hostType == "iso9660" || hostType == "udf") return "CDFS";
  std::string upper = hostType;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

ErrorCode NativePathMapper::Map(std::string_view path, LastPart, MappedPath& result) {
  if (path.empty()) return win_error::PathNotFound;
  const std::vector<std::string> components = AbsoluteComponents(path);
  result = ResolveUnder("/", components);
  return win_error::Success;
}

ErrorCode NativePathMapper::FullPath(std::string_view path, std::string& result) {
  result.clear();
  if (path.empty()) return win_error::PathNotFound;
  for (const std::string& component : AbsoluteComponents(path))
    result += "/" + component;
  if (result.empty()) result = "/";
  return win_error::Success;
}

ErrorCode NativePathMapper::VolumeFileSystem(std::string_view root, std::string& name) {
  name.clear();
  MappedPath mapped;
  const ErrorCode error = Map(root, LastPart::Name, mapped);
  if (error != win_error::Success) return error;
  if (!mapped.exists) return win_error::PathNotFound;
  std::ifstream mounts("/proc/self/mounts");
  if (!mounts) return win_error::NotSupported;
  std::string bestPoint;
  for (std::string line; std::getline(mounts, line);) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    point = UnescapeMountField(point);
    if (MountCovers(point, mapped.host) && point.size() >= bestPoint.size()) {
      bestPoint = point;
      name = WindowsFileSystemName(type);
    }
  }
  return name.empty() ? win_error::NotSupported : win_error::Success;
}

}  // namespace platform
