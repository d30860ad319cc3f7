#include "app/merge_folder.hpp"

#include <algorithm>

#include "app/indexed_table.hpp"
#include "platform/exception.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace app {
namespace {

constexpr std::string_view kFolderName = "KVMERGE";

bool SameFileName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

MergeFolder::~MergeFolder() {
  Clear();
}

std::string MergeFolder::Folder() {
  if (!folder_.empty()) return folder_;
  platform::Machine& machine = platform::CurrentMachine();
  std::string folder = machine.program().TempFolder() + std::string(kFolderName);
  const platform::ErrorCode error = machine.files().MakeFolder(folder);
  if (error != platform::win_error::Success) {
    throw platform::Exception("Setup cannot make the folder " + folder +
                              " to merge your data in (Windows error " + std::to_string(error) +
                              ")");
  }
  folder_ = std::move(folder);
  return folder_;
}

void MergeFolder::CopyIn(const std::string& source, const std::string& target) {
  const platform::ErrorCode error = platform::CurrentMachine().files().Copy(source, target, false);
  if (error != platform::win_error::Success) {
    throw platform::Exception("Setup cannot copy " + source + " to " + target + " (Windows error " +
                              std::to_string(error) + ")");
  }
  files_.push_back(target);
}

const MergeFolder::TableCopy* MergeFolder::CopyOf(std::string_view name) const {
  for (const TableCopy& copy : tables_)
    if (SameFileName(copy.name, name)) return &copy;
  return nullptr;
}

std::string MergeFolder::WorkingCopy(std::string_view setupDir, std::string_view name) {
  if (const TableCopy* copy = CopyOf(name)) return copy->path;
  const std::string folder = Folder();
  const std::string source = platform::PathJoin(setupDir, name);
  const std::string target = platform::PathJoin(folder, name);
  CopyIn(source, target);
  // A shipped index file goes along and is used as it is.
  const std::string shippedIndex = IndexFileOf(source);
  if (platform::CurrentMachine().files().Exists(shippedIndex))
    CopyIn(shippedIndex, IndexFileOf(target));
  tables_.push_back({std::string(name), target});
  return target;
}

std::string MergeFolder::SourceOf(std::string_view name) const {
  const TableCopy* copy = CopyOf(name);
  return copy ? copy->path : std::string(name);
}

void MergeFolder::Clear() {
  if (folder_.empty()) return;
  platform::FileSystem& files = platform::CurrentMachine().files();
  // Index files built here were never recorded: remove the tables' ones by name too.
  for (const TableCopy& copy : tables_)
    files.Remove(IndexFileOf(copy.path));
  for (const std::string& file : files_)
    files.Remove(file);
  files.RemoveFolder(folder_);
  tables_.clear();
  files_.clear();
  folder_.clear();
}

}  // namespace app
