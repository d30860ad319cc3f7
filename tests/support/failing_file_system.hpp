#pragma once
// A file system for tests that wraps another and makes one chosen call fail the way a real disk
// fails it: the call answers with the Windows error a disk gives (a full disk for writes, a
// sharing violation for opens, a lock violation for locks, ...), or a write stores only the
// first half of its buffer. Every fallible call through the file system and its open files is
// counted and logged, so that a test can count the calls of a clean run and then fail each of
// them in turn.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.hpp"

namespace platform::testing {

// The calls that can fail. Name look-ups (attributes, full paths, finding) and folder calls
// always succeed.
enum class FileCall {
  Open,    // opening an existing file
  Create,  // opening with a disposition that may create the file
  Read,
  Write,
  Size,
  Flush,
  Truncate,
  Lock,
  Unlock,
  Rename,
  Remove,
  Copy,
};

std::string_view FileCallName(FileCall call);

// The error a real disk answers a failing call of this kind with.
ErrorCode DiskErrorFor(FileCall call);

struct FileCallRecord {
  FileCall call;
  std::string path;  // as the caller named the file (the path it was opened with)
};

// What the plan did to the call it hit.
struct InjectedFault {
  std::uint64_t callNumber = 0;  // among all counted calls, 1-based
  FileCallRecord target;
  ErrorCode error = 0;  // the answer (Success for a short write that claims success)
  bool shortWrite = false;
  std::uint32_t bytesKept = 0;  // of a short write
};

class FailingFileSystem final : public FileSystem {
 public:
  explicit FailingFileSystem(FileSystem& inner);
  ~FailingFileSystem() override;
  FailingFileSystem(const FailingFileSystem&) = delete;
  FailingFileSystem& operator=(const FailingFileSystem&) = delete;

  // Fails the nth counted call from now (1-based), of any kind, with the disk's error for its
  // kind, or with error when one is given. The fault strikes once; later calls succeed.
  void FailCall(std::uint64_t n, ErrorCode error = 0);
  // Fails the nth call of one kind from now.
  void FailCallOf(FileCall kind, std::uint64_t n, ErrorCode error = 0);
  // Lets the nth write from now store only the first half of its buffer and answer answer
  // (Success: the write claims success and reports the bytes it stored).
  void ShortenWrite(std::uint64_t n, ErrorCode answer = 0);
  // Fills the disk from the nth write from now on: a write that would make a file longer
  // stores what fits inside the file and answers a full disk; writes inside a file still
  // succeed, as on a real disk. injected() describes the first write refused.
  void FillDiskFrom(std::uint64_t n);
  // Drops the plan and starts counting again from 0.
  void Heal();

  // Calls counted since the last Heal (or since construction).
  std::uint64_t calls() const;
  std::uint64_t callsOf(FileCall kind) const;
  const std::vector<FileCallRecord>& log() const;
  // The fault the plan caused, once it struck.
  const std::optional<InjectedFault>& injected() const;

  ErrorCode Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                 Disposition disposition, std::unique_ptr<File>& result) override;
  ErrorCode Attributes(std::string_view path, std::uint32_t& attributes) override;
  ErrorCode Copy(std::string_view source, std::string_view target, bool failIfExists) override;
  ErrorCode Remove(std::string_view path) override;
  ErrorCode Rename(std::string_view from, std::string_view to) override;
  ErrorCode MakeFolder(std::string_view path) override;
  ErrorCode RemoveFolder(std::string_view path) override;
  ErrorCode Find(std::string_view pattern, std::vector<FindData>& result) override;
  ErrorCode FullPath(std::string_view path, std::string& result) override;
  ErrorCode VolumeFileSystem(std::string_view root, std::string& name) override;
  std::string HostPath(std::string_view path) override;

  // Shared with the open files, which may outlive a single call of the file system.
  class Plan;

 private:
  FileSystem& inner_;
  std::shared_ptr<Plan> plan_;
};

}  // namespace platform::testing
