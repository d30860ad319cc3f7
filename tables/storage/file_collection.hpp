#pragma once
// XBobjFileColl: the process-wide list of the engine's open files. Objects that open the same
// file (by normalised path on the same file system) while both are shared use one
// operating-system handle; the list has its own critical section, and each handle carries the
// one its users share. Files of different machines never meet, whatever their names.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.hpp"

namespace tables {

class XBO_DiskFile;

// One system handle and the critical section every user enters around each system call, so
// that objects sharing the handle cannot interleave a seek with its read or write.
struct XbFileHandle {
  std::unique_ptr<platform::File> file;
  std::mutex section;
  bool writable = false;
};

class XBobjFileColl {
 public:
  // Opens path for object: reuses the handle of another open object when both are shared and
  // that handle grants the access asked for, otherwise opens a new one; an open by or against
  // an exclusive object fails with AccessDenied. On success the object is listed.
  platform::ErrorCode Attach(XBO_DiskFile& object, platform::FileSystem& files,
                             const std::string& path, bool shared, bool writable,
                             std::shared_ptr<XbFileHandle>& handle);
  // Unlists the object; true when other listed objects still use its handle.
  bool Detach(const XBO_DiskFile& object);
  bool IsOpen(const platform::FileSystem& files, std::string_view path);
  std::size_t Count();
  // Releases the byte-range locks still held by listed objects (at engine shutdown).
  void ReleaseAllLocks();

 private:
  struct Entry {
    XBO_DiskFile* object;
    const platform::FileSystem* files;
    std::string path;
    bool shared;
    std::shared_ptr<XbFileHandle> handle;
  };
  std::mutex section_;
  std::vector<Entry> entries_;
};

// The process-wide list, created on first use.
XBobjFileColl& XbFiles();
// The list if it exists, else nullptr (closing files must not create it again).
XBobjFileColl* XbFilesIfPresent();
// Releases every lock still held by a listed file, then frees the list (engine shutdown).
void XbFreeFiles();

}  // namespace tables
