#pragma once
// XBO_DiskFile: every file of the engine (table, memo, index). Positioned reads and writes,
// byte-range locks, flush and truncate; each operation reports a failure through the object's
// error routine with the system error number, the operation's subcode and the file name.
//
// Each file works on the machine it was given (its file system, clock and code pages), so
// tables of several machines (a simulated one and the host, say) can be open in one process;
// the machine must outlive the file. Files made without one use the current machine.
//
// The same file opened by several shared objects of this process uses one system handle (see
// XBobjFileColl). Lock rules: an exclusive file takes no system locks (locking always succeeds
// and is only counted); a shared file holds at most one region per object, counted when the
// same region is locked again, and a different region fails with code 33.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/machine.hpp"
#include "platform/win_types.hpp"
#include "tables/storage/file_collection.hpp"
#include "tables/storage/lock_protocol.hpp"

namespace tables {

// The last error set by a read that returned fewer bytes than asked (not reported).
inline constexpr platform::ErrorCode kShortRead = 221;

// The region a plain disk file locks as "the whole file".
inline constexpr XbLockRegion kWholeFileRegion{0, 0x7FFFFFFF};

// Normalises a file name as the engine compares them: a network name (containing "\\") or one
// with a ":" after its second character is kept; any other is expanded to a full path; the
// result is upper-cased with the machine's conversion.
std::string XbNormalizePath(platform::Machine& machine, std::string_view name);

class XBO_DiskFile {
 public:
  explicit XBO_DiskFile(platform::Machine& machine) : machine_(&machine) {}
  XBO_DiskFile() : XBO_DiskFile(platform::CurrentMachine()) {}
  // Closes the file; an error while closing is lost here, so callers that care call Close().
  virtual ~XBO_DiskFile();
  XBO_DiskFile(const XBO_DiskFile&) = delete;
  XBO_DiskFile& operator=(const XBO_DiskFile&) = delete;

  // Virtual operations in the engine's slot order.

  // Releases the lock, unlists the object and closes (or, while others share the handle,
  // flushes what this object wrote). Closing a closed file does nothing.
  virtual void Close();
  // Raises the engine error for (code, subcode, text). Overrides must raise too.
  virtual void ReportError(int code, int subcode, std::string_view text);
  virtual std::uint64_t FileSize();  // subcode 1105
  virtual void Flush();              // subcode 1111
  // Locks the whole file: kWholeFileRegion on a shared file; always true on an exclusive one.
  virtual bool LockFile();
  // False (with LastError set) when the lock cannot be had; see the lock rules above.
  virtual bool LockRegion(std::uint64_t offset, std::uint64_t length);
  // Returns the bytes read; fewer than asked is not an error (LastError becomes kShortRead).
  virtual std::uint32_t ReadAt(std::uint64_t offset, void* buffer, std::uint32_t length);
  // Closes, renames and reopens under the new normalised name (subcode 1106). When the rename
  // or the reopening fails, the file keeps (or takes back) its old name and is reopened there.
  virtual void Rename(std::string_view newName);
  // Opens an existing file: read-write when writable, else read-only; share-deny-none when
  // shared, else no sharing. Subcode 1107; code 5 when the file is open here and either
  // object is exclusive.
  virtual void Open(std::string_view name, bool shared, bool writable);
  // Creates (or empties) the file, then opens it as Open does. Code 12 when the file is open
  // in this process; subcode 1108.
  virtual void Create(std::string_view name, bool shared, bool writable);
  // Status notifications of the derived classes; nothing here.
  virtual void StatusNotify(int status);
  // Only when writable and either exclusive or holding a whole-file lock, else code 5;
  // subcode 1109.
  virtual void TruncateAt(std::uint64_t size);
  // Undoes one lock; the system lock is released with the last count. False when nothing is
  // locked or the system refuses.
  virtual bool Unlock();
  // Subcode 1102; a write that stores fewer bytes than asked is reported as a full disk.
  virtual std::uint32_t WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t length);

  // Overwrites bytes already in the file as WriteAt does; when the write fails, the bytes that
  // were there are put back before the error goes on, so that a half-written update does not
  // leave the old data torn.
  std::uint32_t ReplaceAt(std::uint64_t offset, const void* buffer, std::uint32_t length);

  // Reports through ReportError; raises the engine error itself should an override return.
  [[noreturn]] void Raise(int code, int subcode, std::string_view text);

  // Releases a held lock entirely, whatever its count (used when closing and at shutdown).
  void ReleaseLock();

  platform::Machine& machine() const { return *machine_; }
  const std::string& path() const { return path_; }
  bool isOpen() const { return handle_ != nullptr; }
  bool shared() const { return shared_; }
  bool writable() const { return writable_; }
  platform::ErrorCode LastError() const { return lastError_; }
  std::uint32_t lastTransferred() const { return transferred_; }
  std::uint64_t position() const { return position_; }
  int lockCount() const { return lockCount_; }
  XbLockRegion lockedRegion() const { return lockedRegion_; }
  bool holdsWholeFileLock() const { return lockCount_ > 0 && wholeFileLocked_; }
  bool writtenSinceFlush() const { return written_; }
  // True when another open object of this process uses the same system handle.
  bool SharesHandleWith(const XBO_DiskFile& other) const;

 protected:
  // Locks region as this object's whole-file lock (what TruncateAt accepts).
  bool LockWhole(XbLockRegion region);
  // Reports code (if not 0) with the subcode and file name through ReportError.
  void Check(platform::ErrorCode code, int subcode);

 private:
  platform::File& Handle(int subcode);
  void OpenNormalized(std::string path, bool shared, bool writable, int subcode);
  // Reopens after an operation failed, keeping that failure the one reported: an error here
  // leaves the object closed.
  void ReopenAfterFailure(std::string path, bool shared, bool writable);

  platform::Machine* machine_;
  std::string path_;
  bool shared_ = false;
  bool writable_ = false;
  std::shared_ptr<XbFileHandle> handle_;
  platform::ErrorCode lastError_ = 0;
  std::uint32_t transferred_ = 0;
  std::uint64_t position_ = 0;
  int lockCount_ = 0;
  XbLockRegion lockedRegion_;
  bool wholeFileLocked_ = false;
  bool written_ = false;
};

}  // namespace tables
