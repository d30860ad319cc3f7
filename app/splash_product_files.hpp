#pragma once
// The product's files: which of them mark an earlier installation, which are copied into the
// system folder, and which stale index files are deleted.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct ProductFile {
  std::string_view name;
  // An existing copy in the system folder is kept (keyword list, process-status library).
  bool keepExisting;
};

// Data files whose presence in the system folder marks an earlier installation, in the order
// they are tested.
std::span<const std::string_view> InstallMarkerFiles();
// The files copied into the system folder, in copy order.
std::span<const ProductFile> ProductFiles();
// Index and help-index files deleted in the setup and the system folder, in deletion order.
std::span<const std::string_view> StaleIndexFiles();

// True when any marker file exists in the system folder.
bool HasEarlierInstallation(std::string_view systemDir);

// Where a product file is copied from, by its name.
using ProductFileSource = std::function<std::string(std::string_view name)>;
// The bare name: the setup program runs with its own folder as the current folder.
std::string FromCurrentFolder(std::string_view name);

// Copies every product file into the system folder, overwriting existing targets except those
// marked keepExisting. A failed copy does not stop the others; the targets that could not be
// written are returned, in copy order.
std::vector<std::string> CopyProductFiles(std::string_view systemDir,
                                          const ProductFileSource& sourceOf = FromCurrentFolder);

// Deletes the stale index files, first in the setup folder, then in the system folder,
// ignoring failures.
void DeleteStaleIndexFiles(std::string_view setupDir, std::string_view systemDir);

}  // namespace app
