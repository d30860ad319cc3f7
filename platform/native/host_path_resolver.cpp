#include "platform/native/host_path_resolver.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <optional>

namespace platform {
namespace {

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Present(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

// The stored name in `folder` that `name` refers to, if any.
std::optional<std::string> FindStoredName(const std::string& folder, const std::string& name) {
  if (Present(JoinHostPath(folder, name))) return name;
  DIR* listing = opendir(folder.c_str());
  if (!listing) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = readdir(listing)) {
    const std::string_view stored = entry->d_name;
    if (!SameNameIgnoringCase(stored, name)) continue;
    if (!best || stored < *best) best = std::string(stored);
  }
  closedir(listing);
  return best;
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::string JoinHostPath(std::string_view folder, std::string_view name) {
  std::string result(folder);
  if (result.empty() || result.back() != '/') result += '/';
  result += name;
  return result;
}

MappedPath ResolveUnder(const std::string& root, std::span<const std::string> components) {
  MappedPath result;
  if (components.empty()) {
    result.host = root;
    result.folder = root;
    result.exists = IsFolder(root);
    result.parentExists = result.exists;
    result.isRoot = true;
    result.folderIsRoot = true;
    return result;
  }
  std::string current = root;
  bool found = IsFolder(root);
  for (std::size_t i = 0; i < components.size(); ++i) {
    const bool last = i + 1 == components.size();
    if (last) {
      result.folder = current;
      result.parentExists = found && IsFolder(current);
    }
    std::optional<std::string> stored;
    if (found) stored = FindStoredName(current, components[i]);
    found = stored.has_value();
    const std::string& name = found ? *stored : components[i];
    current = JoinHostPath(current, name);
    if (last) {
      result.name = name;
      result.givenName = components[i];
    }
  }
  result.folderIsRoot = components.size() == 1;
  result.host = current;
  result.exists = found;
  return result;
}

}  // namespace platform
