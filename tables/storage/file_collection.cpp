#include "tables/storage/file_collection.hpp"

#include <algorithm>

#include "tables/storage/disk_file.hpp"

namespace tables {
namespace {

std::mutex listGuard;
std::unique_ptr<XBobjFileColl> fileList;

platform::ErrorCode OpenHandle(platform::FileSystem& files, const std::string& path, bool shared,
                               bool writable, std::shared_ptr<XbFileHandle>& handle) {
  std::uint32_t access = platform::file_access::GenericRead;
  if (writable) access |= platform::file_access::GenericWrite;
  const std::uint32_t share = shared ? platform::file_share::ReadWrite : platform::file_share::None;
  auto opened = std::make_shared<XbFileHandle>();
  platform::ErrorCode error =
      files.Open(path, access, share, platform::Disposition::OpenExisting, opened->file);
  if (error != platform::win_error::Success) return error;
  opened->writable = writable;
  handle = std::move(opened);
  return platform::win_error::Success;
}

}  // namespace

platform::ErrorCode XBobjFileColl::Attach(XBO_DiskFile& object, platform::FileSystem& files,
                                          const std::string& path, bool shared, bool writable,
                                          std::shared_ptr<XbFileHandle>& handle) {
  std::lock_guard guard(section_);
  std::shared_ptr<XbFileHandle> reusable;
  for (const Entry& entry : entries_) {
    if (entry.files != &files || entry.path != path) continue;
    if (!shared || !entry.shared) return platform::win_error::AccessDenied;
    if (entry.handle->writable || !writable) reusable = entry.handle;
  }
  if (reusable) {
    handle = reusable;
  } else if (platform::ErrorCode error = OpenHandle(files, path, shared, writable, handle)) {
    return error;
  }
  entries_.push_back({&object, &files, path, shared, handle});
  return platform::win_error::Success;
}

bool XBobjFileColl::Detach(const XBO_DiskFile& object) {
  std::lock_guard guard(section_);
  auto found = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& entry) { return entry.object == &object; });
  if (found == entries_.end()) return false;
  std::shared_ptr<XbFileHandle> handle = found->handle;
  entries_.erase(found);
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& entry) { return entry.handle == handle; });
}

bool XBobjFileColl::IsOpen(const platform::FileSystem& files, std::string_view path) {
  std::lock_guard guard(section_);
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.files == &files && entry.path == path;
  });
}

std::size_t XBobjFileColl::Count() {
  std::lock_guard guard(section_);
  return entries_.size();
}

void XBobjFileColl::ReleaseAllLocks() {
  std::lock_guard guard(section_);
  for (const Entry& entry : entries_)
    entry.object->ReleaseLock();
}

XBobjFileColl& XbFiles() {
  std::lock_guard guard(listGuard);
  if (!fileList) fileList = std::make_unique<XBobjFileColl>();
  return *fileList;
}

XBobjFileColl* XbFilesIfPresent() {
  std::lock_guard guard(listGuard);
  return fileList.get();
}

void XbFreeFiles() {
  std::lock_guard guard(listGuard);
  if (!fileList) return;
  fileList->ReleaseAllLocks();
  fileList.reset();
}

}  // namespace tables
