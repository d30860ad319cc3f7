#include "tables/storage/disk_file.hpp"

#include <mutex>
#include <utility>
#include <vector>

#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// "File not open": an operation on a closed object.
constexpr platform::ErrorCode kNotOpen = 103;

using Section = std::lock_guard<std::mutex>;

}  // namespace

std::string XbNormalizePath(platform::Machine& machine, std::string_view name) {
  std::string full(name);
  const bool keep = name.find("\\\\") != std::string_view::npos ||
                    (name.size() > 2 && name.find(':', 2) != std::string_view::npos);
  if (!keep) {
    std::string expanded;
    if (machine.files().FullPath(name, expanded) == platform::win_error::Success) {
      full = std::move(expanded);
    }
  }
  return machine.codePages().Upper(full);
}

XBO_DiskFile::~XBO_DiskFile() {
  try {
    XBO_DiskFile::Close();
  } catch (const std::exception&) {
    // A destructor cannot raise; Close() reports the same failure to callers that ask.
  }
}

void XBO_DiskFile::Check(platform::ErrorCode code, int subcode) {
  if (code == platform::win_error::Success) return;
  lastError_ = code;
  machine_->SetLastError(code);
  Raise(static_cast<int>(code), subcode, path_);
}

void XBO_DiskFile::Raise(int code, int subcode, std::string_view text) {
  ReportError(code, subcode, text);
  // An override that returned would let the failed operation carry on.
  tables::ReportError(code, subcode, text);
}

platform::File& XBO_DiskFile::Handle(int subcode) {
  if (!handle_) Check(kNotOpen, subcode);
  return *handle_->file;
}

void XBO_DiskFile::Close() {
  if (!handle_) return;
  ReleaseLock();
  XBobjFileColl* files = XbFilesIfPresent();
  const bool othersUseHandle = files && files->Detach(*this);
  platform::ErrorCode error = platform::win_error::Success;
  if (othersUseHandle && written_) {
    Section section(handle_->section);
    error = handle_->file->Flush();
  }
  handle_.reset();
  written_ = false;
  Check(error, xb_sub::Flush);
}

void XBO_DiskFile::ReportError(int code, int subcode, std::string_view text) {
  tables::ReportError(code, subcode, text);
}

std::uint64_t XBO_DiskFile::FileSize() {
  platform::File& file = Handle(xb_sub::FileSize);
  std::uint64_t size = 0;
  platform::ErrorCode error;
  {
    Section section(handle_->section);
    error = file.Size(size);
  }
  Check(error, xb_sub::FileSize);
  return size;
}

void XBO_DiskFile::Flush() {
  platform::File& file = Handle(xb_sub::Flush);
  platform::ErrorCode error;
  {
    Section section(handle_->section);
    error = file.Flush();
  }
  Check(error, xb_sub::Flush);
  written_ = false;
}

bool XBO_DiskFile::LockFile() {
  return LockWhole(kWholeFileRegion);
}

bool XBO_DiskFile::LockWhole(XbLockRegion region) {
  const bool first = lockCount_ == 0;
  if (!LockRegion(region.offset, region.length)) return false;
  if (first) wholeFileLocked_ = true;
  return true;
}

bool XBO_DiskFile::LockRegion(std::uint64_t offset, std::uint64_t length) {
  const XbLockRegion region{offset, length};
  if (!handle_) {
    lastError_ = platform::win_error::InvalidHandle;
    return false;
  }
  if (lockCount_ > 0) {
    if (shared_ && region != lockedRegion_) {
      lastError_ = platform::win_error::LockViolation;
      return false;
    }
    ++lockCount_;
    return true;
  }
  if (shared_) {
    platform::ErrorCode error;
    {
      Section section(handle_->section);
      error = handle_->file->Lock(offset, length);
    }
    if (error != platform::win_error::Success) {
      lastError_ = error;
      machine_->SetLastError(error);
      return false;
    }
  }
  lockCount_ = 1;
  lockedRegion_ = region;
  wholeFileLocked_ = false;
  return true;
}

bool XBO_DiskFile::Unlock() {
  if (lockCount_ <= 0 || !handle_) {
    lastError_ = platform::win_error::NotLocked;
    return false;
  }
  if (shared_ && lockCount_ == 1) {
    platform::ErrorCode error;
    {
      Section section(handle_->section);
      error = handle_->file->Unlock(lockedRegion_.offset, lockedRegion_.length);
    }
    if (error != platform::win_error::Success) {
      lastError_ = error;
      machine_->SetLastError(error);
      return false;
    }
  }
  if (--lockCount_ == 0) wholeFileLocked_ = false;
  return true;
}

void XBO_DiskFile::ReleaseLock() {
  if (lockCount_ > 0 && shared_ && handle_) {
    Section section(handle_->section);
    // The handle may close right after; a lock the system no longer holds is gone either way.
    handle_->file->Unlock(lockedRegion_.offset, lockedRegion_.length);
  }
  lockCount_ = 0;
  wholeFileLocked_ = false;
}

std::uint32_t XBO_DiskFile::ReadAt(std::uint64_t offset, void* buffer, std::uint32_t length) {
  platform::File& file = Handle(xb_sub::Read);
  std::uint32_t got = 0;
  platform::ErrorCode error;
  {
    Section section(handle_->section);
    error = file.ReadAt(offset, buffer, length, got);
  }
  Check(error, xb_sub::Read);
  transferred_ = got;
  position_ = offset + got;
  lastError_ = got < length ? kShortRead : platform::win_error::Success;
  return got;
}

std::uint32_t XBO_DiskFile::WriteAt(std::uint64_t offset, const void* buffer,
                                    std::uint32_t length) {
  platform::File& file = Handle(xb_sub::Write);
  if (!writable_) Check(platform::win_error::AccessDenied, xb_sub::Write);
  std::uint32_t put = 0;
  platform::ErrorCode error;
  {
    Section section(handle_->section);
    error = file.WriteAt(offset, buffer, length, put);
  }
  Check(error, xb_sub::Write);
  transferred_ = put;
  position_ = offset + put;
  written_ = true;
  if (put < length) Check(platform::win_error::DiskFull, xb_sub::Write);
  lastError_ = platform::win_error::Success;
  return put;
}

std::uint32_t XBO_DiskFile::ReplaceAt(std::uint64_t offset, const void* buffer,
                                      std::uint32_t length) {
  std::vector<std::uint8_t> previous(length);
  previous.resize(ReadAt(offset, previous.data(), length));
  try {
    return WriteAt(offset, buffer, length);
  } catch (const EXbaseError&) {
    try {
      WriteAt(offset, previous.data(), static_cast<std::uint32_t>(previous.size()));
    } catch (const EXbaseError&) {
      // The failure of the update is the one to report; the disk refused the old bytes too.
    }
    throw;
  }
}

void XBO_DiskFile::Rename(std::string_view newName) {
  std::string from = path_;
  std::string to = XbNormalizePath(*machine_, newName);
  const bool shared = shared_, writable = writable_;
  XBO_DiskFile::Close();
  platform::FileSystem& files = machine_->files();
  platform::ErrorCode error = files.Rename(from, to);
  if (error != platform::win_error::Success) {
    OpenNormalized(from, shared, writable, xb_sub::Rename);
    Check(error, xb_sub::Rename);
  }
  try {
    OpenNormalized(to, shared, writable, xb_sub::Rename);
  } catch (const EXbaseError&) {
    // Not open under its new name, the file would be lost to its owner (a memo file to its
    // table): it takes its old name back and stays open under it, as after a failed rename.
    if (files.Rename(to, from) == platform::win_error::Success) {
      ReopenAfterFailure(from, shared, writable);
    }
    throw;
  }
}

void XBO_DiskFile::ReopenAfterFailure(std::string path, bool shared, bool writable) {
  try {
    OpenNormalized(std::move(path), shared, writable, xb_sub::Rename);
  } catch (const EXbaseError&) {
    // The failure that led here is the one to report; the object stays closed.
  }
}

void XBO_DiskFile::Open(std::string_view name, bool shared, bool writable) {
  XBO_DiskFile::Close();
  OpenNormalized(XbNormalizePath(*machine_, name), shared, writable, xb_sub::Open);
}

void XBO_DiskFile::Create(std::string_view name, bool shared, bool writable) {
  XBO_DiskFile::Close();
  path_ = XbNormalizePath(*machine_, name);
  if (XbFiles().IsOpen(machine_->files(), path_))
    Check(platform::win_error::InvalidAccess, xb_sub::Create);
  std::unique_ptr<platform::File> created;
  Check(machine_->files().Open(
            path_, platform::file_access::GenericRead | platform::file_access::GenericWrite,
            platform::file_share::None, platform::Disposition::CreateAlways, created),
        xb_sub::Create);
  created.reset();
  OpenNormalized(path_, shared, writable, xb_sub::Create);
}

void XBO_DiskFile::OpenNormalized(std::string path, bool shared, bool writable, int subcode) {
  path_ = std::move(path);
  platform::ErrorCode error =
      XbFiles().Attach(*this, machine_->files(), path_, shared, writable, handle_);
  Check(error, subcode);
  shared_ = shared;
  writable_ = writable;
  position_ = 0;
  transferred_ = 0;
  lockCount_ = 0;
  wholeFileLocked_ = false;
  written_ = false;
  lastError_ = platform::win_error::Success;
}

void XBO_DiskFile::StatusNotify(int) {}

void XBO_DiskFile::TruncateAt(std::uint64_t size) {
  platform::File& file = Handle(xb_sub::Truncate);
  if (!writable_ || (shared_ && !holdsWholeFileLock())) {
    Check(platform::win_error::AccessDenied, xb_sub::Truncate);
  }
  platform::ErrorCode error;
  {
    Section section(handle_->section);
    error = file.Truncate(size);
  }
  Check(error, xb_sub::Truncate);
  written_ = true;
}

bool XBO_DiskFile::SharesHandleWith(const XBO_DiskFile& other) const {
  return handle_ != nullptr && handle_ == other.handle_;
}

}  // namespace tables
