#pragma once
// The folder in the machine's temporary folder where an upgrade merges the earlier
// installation's sites and accounts into copies of the shipped tables. The setup folder may be
// read-only (a CD) and must never receive the user's data; the installation copies the merged
// tables from here, and the copies are deleted afterwards.
#include <string>
#include <string_view>
#include <vector>

namespace app {

class MergeFolder {
 public:
  MergeFolder() = default;
  MergeFolder(const MergeFolder&) = delete;
  MergeFolder& operator=(const MergeFolder&) = delete;
  // The user's data does not stay behind when the run ends early.
  ~MergeFolder();

  // The working copy of the shipped table `name` of setupDir (with its index file when the
  // setup folder has one), made on first use. Raises when it cannot be made.
  std::string WorkingCopy(std::string_view setupDir, std::string_view name);
  // Where the installation copies the product file `name` from: its working copy when there
  // is one, else the bare name (resolved against the current folder, the setup folder).
  std::string SourceOf(std::string_view name) const;
  // Deletes the working copies and the folder, ignoring failures.
  void Clear();

 private:
  struct TableCopy {
    std::string name;  // as given to WorkingCopy
    std::string path;
  };

  std::string Folder();
  void CopyIn(const std::string& source, const std::string& target);
  const TableCopy* CopyOf(std::string_view name) const;

  std::string folder_;
  std::vector<TableCopy> tables_;
  std::vector<std::string> files_;  // every file written into the folder
};

}  // namespace app
