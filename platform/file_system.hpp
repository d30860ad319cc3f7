#pragma once
// Files and folders, shaped like kernel32's file calls. Paths are Windows paths on a
// simulated machine and on Windows; on the native Linux mapping they are host paths whose
// names resolve without regard to case. Every operation returns a Win32 error number.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

// One open handle (CreateFile). Destroying it closes the handle and releases its locks.
class File {
 public:
  virtual ~File() = default;

  // ReadFile/WriteFile with an explicit offset (OVERLAPPED on a synchronous handle). A read
  // past the end is not an error: it reports the bytes that were there.
  virtual ErrorCode ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count,
                           std::uint32_t& transferred) = 0;
  virtual ErrorCode WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t count,
                            std::uint32_t& transferred) = 0;
  virtual ErrorCode Size(std::uint64_t& size) = 0;
  virtual ErrorCode Flush() = 0;                       // FlushFileBuffers
  virtual ErrorCode Truncate(std::uint64_t size) = 0;  // SetFilePointer + SetEndOfFile
  // LockFile/UnlockFile: exclusive, non-blocking. A lock overlapping any lock held on the
  // file fails with LockViolation, whether the other lock belongs to this handle, another
  // handle or another process; read-only handles may lock. Unlock must name a range locked
  // through this handle exactly, else NotLocked.
  virtual ErrorCode Lock(std::uint64_t offset, std::uint64_t length) = 0;
  virtual ErrorCode Unlock(std::uint64_t offset, std::uint64_t length) = 0;
  virtual bool Writable() const = 0;
};

struct FindData {
  std::string name;  // file name only, as stored
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  FileTime lastWriteTime = 0;  // UTC
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // CreateFile. access: file_access bits; share: file_share bits (a handle opened with a
  // share mode that excludes an existing opener, or excluded by it, fails with
  // SharingViolation, across processes too).
  virtual ErrorCode Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                         Disposition disposition, std::unique_ptr<File>& result) = 0;
  // GetFileAttributes: file_attribute::Invalid with FileNotFound/PathNotFound when missing.
  virtual ErrorCode Attributes(std::string_view path, std::uint32_t& attributes) = 0;
  // CopyFile: fails when the source is missing, when the target exists and failIfExists is
  // set (FileExists), when the target is in use (SharingViolation), keeping the source's
  // last-write time.
  virtual ErrorCode Copy(std::string_view source, std::string_view target, bool failIfExists) = 0;
  virtual ErrorCode Remove(std::string_view path) = 0;                       // DeleteFile
  virtual ErrorCode Rename(std::string_view from, std::string_view to) = 0;  // MoveFile
  // Creates the folder and any missing parents; an existing folder is success.
  virtual ErrorCode MakeFolder(std::string_view path) = 0;
  virtual ErrorCode RemoveFolder(std::string_view path) = 0;  // RemoveDirectory
  // FindFirstFile/FindNextFile over a pattern with * and ? in its last part ("*." matches
  // names without an extension, folders included). FileNotFound when nothing matches.
  virtual ErrorCode Find(std::string_view pattern, std::vector<FindData>& result) = 0;
  // GetFullPathName against the current folder.
  virtual ErrorCode FullPath(std::string_view path, std::string& result) = 0;
  // GetVolumeInformation: the file-system name of a root such as "C:\" ("FAT", "NTFS", "CDFS").
  virtual ErrorCode VolumeFileSystem(std::string_view root, std::string& name) = 0;
  // The host path a Windows path maps to (for tools and tests; the win32 backend returns
  // the path itself). Empty when the path lies outside every mapped drive.
  virtual std::string HostPath(std::string_view path) = 0;

  bool Exists(std::string_view path);  // FileExists: a file or folder is there
};

}  // namespace platform
