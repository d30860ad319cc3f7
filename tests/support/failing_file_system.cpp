#include "tests/support/failing_file_system.hpp"

#include <array>
#include <utility>

namespace platform::testing {

std::string_view FileCallName(FileCall call) {
  switch (call) {
    case FileCall::Open:
      return "open";
    case FileCall::Create:
      return "create";
    case FileCall::Read:
      return "read";
    case FileCall::Write:
      return "write";
    case FileCall::Size:
      return "size";
    case FileCall::Flush:
      return "flush";
    case FileCall::Truncate:
      return "truncate";
    case FileCall::Lock:
      return "lock";
    case FileCall::Unlock:
      return "unlock";
    case FileCall::Rename:
      return "rename";
    case FileCall::Remove:
      return "remove";
    case FileCall::Copy:
      return "copy";
  }
  return "call";
}

ErrorCode DiskErrorFor(FileCall call) {
  switch (call) {
    case FileCall::Open:
    case FileCall::Rename:
    case FileCall::Remove:
      return win_error::SharingViolation;  // another program has the file open
    case FileCall::Lock:
      return win_error::LockViolation;
    case FileCall::Unlock:
      return win_error::NotLocked;
    case FileCall::Read:
    case FileCall::Size:
    case FileCall::Truncate:
      return win_error::NotReady;  // the drive went away
    case FileCall::Create:
    case FileCall::Write:
    case FileCall::Flush:
    case FileCall::Copy:
      return win_error::DiskFull;
  }
  return win_error::InvalidParameter;
}

namespace {

constexpr std::size_t kCallKinds = static_cast<std::size_t>(FileCall::Copy) + 1;

// What a counted call is to do.
struct Verdict {
  bool fail = false;
  bool shortWrite = false;
  bool diskFull = false;  // a write may not make the file longer
  ErrorCode error = win_error::Success;
};

}  // namespace

class FailingFileSystem::Plan {
 public:
  void Aim(std::optional<FileCall> kind, std::uint64_t n, ErrorCode error, bool shortWrite) {
    Reset();
    target_ = Target{kind, n, error, shortWrite, false};
  }

  void FillFrom(std::uint64_t n) {
    Reset();
    target_ = Target{FileCall::Write, n, win_error::DiskFull, false, true};
  }

  void Reset() {
    target_.reset();
    injected_.reset();
    total_ = 0;
    perKind_.fill(0);
    log_.clear();
  }

  Verdict Count(FileCall call, std::string_view path) {
    ++total_;
    const std::uint64_t ofKind = ++perKind_[static_cast<std::size_t>(call)];
    log_.push_back({call, std::string(path)});
    if (!target_) return {};
    if (target_->kind && *target_->kind != call) return {};
    if (target_->fillsDisk) return {false, false, ofKind >= target_->n, win_error::DiskFull};
    if (injected_) return {};
    if ((target_->kind ? ofKind : total_) != target_->n) return {};
    Verdict verdict{!target_->shortWrite, target_->shortWrite, false, target_->error};
    if (!verdict.shortWrite && verdict.error == win_error::Success)
      verdict.error = DiskErrorFor(call);
    injected_ = InjectedFault{total_, log_.back(), verdict.error, verdict.shortWrite, 0};
    return verdict;
  }

  void NoteBytesKept(std::uint32_t kept) { injected_->bytesKept = kept; }
  // A write the full disk refused (only the first one is remembered).
  void NoteRefusedWrite(std::uint32_t kept) {
    if (!injected_)
      injected_ = InjectedFault{total_, log_.back(), win_error::DiskFull, kept > 0, kept};
  }

  std::uint64_t total() const { return total_; }
  std::uint64_t ofKind(FileCall call) const { return perKind_[static_cast<std::size_t>(call)]; }
  const std::vector<FileCallRecord>& log() const { return log_; }
  const std::optional<InjectedFault>& injected() const { return injected_; }

 private:
  struct Target {
    std::optional<FileCall> kind;  // none: calls of every kind count
    std::uint64_t n;
    ErrorCode error;
    bool shortWrite;
    bool fillsDisk;
  };
  std::optional<Target> target_;
  std::optional<InjectedFault> injected_;
  std::uint64_t total_ = 0;
  std::array<std::uint64_t, kCallKinds> perKind_{};
  std::vector<FileCallRecord> log_;
};

namespace {

class FailingFile final : public File {
 public:
  FailingFile(std::unique_ptr<File> inner, std::shared_ptr<FailingFileSystem::Plan> plan,
              std::string path)
      : inner_(std::move(inner)), plan_(std::move(plan)), path_(std::move(path)) {}

  ErrorCode ReadAt(std::uint64_t offset, void* buffer, std::uint32_t count,
                   std::uint32_t& transferred) override {
    transferred = 0;
    if (Verdict verdict = Count(FileCall::Read); verdict.fail) return verdict.error;
    return inner_->ReadAt(offset, buffer, count, transferred);
  }

  ErrorCode WriteAt(std::uint64_t offset, const void* buffer, std::uint32_t count,
                    std::uint32_t& transferred) override {
    transferred = 0;
    const Verdict verdict = Count(FileCall::Write);
    if (verdict.fail) return verdict.error;
    if (verdict.diskFull) return WriteOnFullDisk(offset, buffer, count, transferred);
    if (!verdict.shortWrite) return inner_->WriteAt(offset, buffer, count, transferred);
    const std::uint32_t kept = count / 2;
    if (ErrorCode error = inner_->WriteAt(offset, buffer, kept, transferred)) return error;
    plan_->NoteBytesKept(transferred);
    return verdict.error;
  }

  ErrorCode Size(std::uint64_t& size) override {
    if (Verdict verdict = Count(FileCall::Size); verdict.fail) return verdict.error;
    return inner_->Size(size);
  }

  ErrorCode Flush() override {
    if (Verdict verdict = Count(FileCall::Flush); verdict.fail) return verdict.error;
    return inner_->Flush();
  }

  ErrorCode Truncate(std::uint64_t size) override {
    if (Verdict verdict = Count(FileCall::Truncate); verdict.fail) return verdict.error;
    return inner_->Truncate(size);
  }

  ErrorCode Lock(std::uint64_t offset, std::uint64_t length) override {
    if (Verdict verdict = Count(FileCall::Lock); verdict.fail) return verdict.error;
    return inner_->Lock(offset, length);
  }

  ErrorCode Unlock(std::uint64_t offset, std::uint64_t length) override {
    if (Verdict verdict = Count(FileCall::Unlock); verdict.fail) return verdict.error;
    return inner_->Unlock(offset, length);
  }

  bool Writable() const override { return inner_->Writable(); }

 private:
  ErrorCode WriteOnFullDisk(std::uint64_t offset, const void* buffer, std::uint32_t count,
                            std::uint32_t& transferred) {
    std::uint64_t size = 0;
    if (ErrorCode error = inner_->Size(size)) return error;
    if (offset + count <= size) return inner_->WriteAt(offset, buffer, count, transferred);
    const auto fits = static_cast<std::uint32_t>(offset < size ? size - offset : 0);
    if (ErrorCode error = inner_->WriteAt(offset, buffer, fits, transferred)) return error;
    plan_->NoteRefusedWrite(transferred);
    return win_error::DiskFull;
  }

  Verdict Count(FileCall call) { return plan_->Count(call, path_); }

  std::unique_ptr<File> inner_;
  std::shared_ptr<FailingFileSystem::Plan> plan_;
  std::string path_;
};

bool MayCreate(Disposition disposition) {
  return disposition != Disposition::OpenExisting && disposition != Disposition::TruncateExisting;
}

}  // namespace

FailingFileSystem::FailingFileSystem(FileSystem& inner)
    : inner_(inner), plan_(std::make_shared<Plan>()) {}

FailingFileSystem::~FailingFileSystem() = default;

void FailingFileSystem::FailCall(std::uint64_t n, ErrorCode error) {
  plan_->Aim(std::nullopt, n, error, false);
}

void FailingFileSystem::FailCallOf(FileCall kind, std::uint64_t n, ErrorCode error) {
  plan_->Aim(kind, n, error, false);
}

void FailingFileSystem::ShortenWrite(std::uint64_t n, ErrorCode answer) {
  plan_->Aim(FileCall::Write, n, answer, true);
}

void FailingFileSystem::FillDiskFrom(std::uint64_t n) {
  plan_->FillFrom(n);
}

void FailingFileSystem::Heal() {
  plan_->Reset();
}

std::uint64_t FailingFileSystem::calls() const {
  return plan_->total();
}

std::uint64_t FailingFileSystem::callsOf(FileCall kind) const {
  return plan_->ofKind(kind);
}

const std::vector<FileCallRecord>& FailingFileSystem::log() const {
  return plan_->log();
}

const std::optional<InjectedFault>& FailingFileSystem::injected() const {
  return plan_->injected();
}

ErrorCode FailingFileSystem::Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                                  Disposition disposition, std::unique_ptr<File>& result) {
  const FileCall call = MayCreate(disposition) ? FileCall::Create : FileCall::Open;
  if (Verdict verdict = plan_->Count(call, path); verdict.fail) return verdict.error;
  std::unique_ptr<File> opened;
  if (ErrorCode error = inner_.Open(path, access, share, disposition, opened)) return error;
  result = std::make_unique<FailingFile>(std::move(opened), plan_, std::string(path));
  return win_error::Success;
}

ErrorCode FailingFileSystem::Attributes(std::string_view path, std::uint32_t& attributes) {
  return inner_.Attributes(path, attributes);
}

ErrorCode FailingFileSystem::Copy(std::string_view source, std::string_view target,
                                  bool failIfExists) {
  if (Verdict verdict = plan_->Count(FileCall::Copy, target); verdict.fail) return verdict.error;
  return inner_.Copy(source, target, failIfExists);
}

ErrorCode FailingFileSystem::Remove(std::string_view path) {
  if (Verdict verdict = plan_->Count(FileCall::Remove, path); verdict.fail) return verdict.error;
  return inner_.Remove(path);
}

ErrorCode FailingFileSystem::Rename(std::string_view from, std::string_view to) {
  if (Verdict verdict = plan_->Count(FileCall::Rename, from); verdict.fail) return verdict.error;
  return inner_.Rename(from, to);
}

ErrorCode FailingFileSystem::MakeFolder(std::string_view path) {
  return inner_.MakeFolder(path);
}

ErrorCode FailingFileSystem::RemoveFolder(std::string_view path) {
  return inner_.RemoveFolder(path);
}

ErrorCode FailingFileSystem::Find(std::string_view pattern, std::vector<FindData>& result) {
  return inner_.Find(pattern, result);
}

ErrorCode FailingFileSystem::FullPath(std::string_view path, std::string& result) {
  return inner_.FullPath(path, result);
}

ErrorCode FailingFileSystem::VolumeFileSystem(std::string_view root, std::string& name) {
  return inner_.VolumeFileSystem(root, name);
}

std::string FailingFileSystem::HostPath(std::string_view path) {
  return inner_.HostPath(path);
}

}  // namespace platform::testing
