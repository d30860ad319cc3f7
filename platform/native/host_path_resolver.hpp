#pragma once
// Host paths found without regard to case, one component at a time, as Windows finds names.
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Where a caller's path lies on the host.
struct MappedPath {
  std::string host;             // existing components as stored, the rest as given
  std::string folder;           // host path of the folder meant to hold the last component
  std::string name;             // the last component (as stored when it exists); empty for a root
  std::string givenName;        // the last component as the caller wrote it
  bool exists = false;          // the whole path is there
  bool parentExists = false;    // `folder` is there and is a folder
  bool isRoot = false;          // the path names the root of its volume
  bool folderIsRoot = false;    // `folder` is the root of its volume
  bool readOnlyVolume = false;  // the volume refuses every change (a CD-ROM)
};

// ASCII letters compare without case; every other byte as it is.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// Appends a component to a host folder path.
std::string JoinHostPath(std::string_view folder, std::string_view name);

// Walks `components` (no "." or "..") down from the existing host folder `root`: an exact
// name wins, else the smallest stored name (in byte order) that matches without regard to
// case. Components from the first missing one on are kept as given.
MappedPath ResolveUnder(const std::string& root, std::span<const std::string> components);

}  // namespace platform
