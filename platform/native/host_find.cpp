#include "platform/native/host_find.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/native/find_pattern.hpp"
#include "platform/native/host_attributes.hpp"
#include "platform/native/host_errors.hpp"

namespace platform {
namespace {

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

void AddEntry(const std::string& host, const std::string& name, std::vector<FindData>& result) {
  struct stat status {};
  if (stat(host.c_str(), &status) == 0) result.push_back(FindDataFromHost(name, status));
}

ErrorCode ListMatching(const MappedPath& pattern, std::vector<FindData>& result) {
  DIR* listing = opendir(pattern.folder.c_str());
  if (!listing) return ErrorFromErrno(errno, false);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (MatchesFindPattern(pattern.givenName, name)) names.push_back(name);
  }
  closedir(listing);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Folded(a) < Folded(b); });
  if (!pattern.folderIsRoot) {
    for (const char* dots : {".", ".."}) {
      if (MatchesFindPattern(pattern.givenName, dots)) {
        AddEntry(JoinHostPath(pattern.folder, dots), dots, result);
      }
    }
  }
  for (const std::string& name : names)
    AddEntry(JoinHostPath(pattern.folder, name), name, result);
  return win_error::Success;
}

}  // namespace

ErrorCode FindHostEntries(const MappedPath& pattern, std::vector<FindData>& result) {
  result.clear();
  if (!pattern.parentExists) return win_error::PathNotFound;
  if (pattern.givenName.empty()) return win_error::FileNotFound;
  if (!HasWildcards(pattern.givenName)) {
    if (pattern.exists) AddEntry(pattern.host, pattern.name, result);
  } else {
    const ErrorCode listed = ListMatching(pattern, result);
    if (listed != win_error::Success) return listed;
  }
  return result.empty() ? win_error::FileNotFound : win_error::Success;
}

}  // namespace platform
