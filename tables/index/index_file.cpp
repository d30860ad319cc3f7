#include "tables/index/index_file.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/path_parts.hpp"
#include "tables/index/cdx_layout.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/lock_retry.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// Pages are kept in chunks of 64 KiB, read at once, at most 64 MiB of them per file: the
// chunks read first, among them those of a tree's upper levels that every search passes.
constexpr std::uint32_t kChunkSize = 64 * 1024;
constexpr std::size_t kMaxKeptChunks = 1024;
// Deferred pages beyond this many (32 MiB) are written before the next change.
constexpr std::size_t kMaxDeferredPages = 64 * 1024;

bool SameNameIgnoringCase(std::string_view left, std::string_view right) {
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    const auto a = static_cast<unsigned char>(left[i]);
    const auto b = static_cast<unsigned char>(right[i]);
    if (std::toupper(a) != std::toupper(b)) return false;
  }
  return true;
}

void Transform(std::string_view key, std::uint8_t* buffer, std::uint32_t length) {
  for (std::uint32_t at = 0; at < length; at += kCdxPageSize) {
    const std::uint32_t count = length - at < kCdxPageSize ? length - at : kCdxPageSize;
    TransformBlock(key, buffer + at, buffer + at, count, true);
  }
}

}  // namespace

XBobjIndexFile::XBobjIndexFile(XBO_dBaseFld& table, std::string cipherKey)
    : file_(table.machine()), table_(table), cipherKey_(std::move(cipherKey)) {}

XBobjIndexFile::~XBobjIndexFile() {
  try {
    WriteDeferred();
  } catch (const std::exception&) {
    // A destructor cannot raise; the tree on disk is as of the last write, which reindex repairs.
  }
}

void XBobjIndexFile::StatusReport(const XbBuildStatus& status) {
  if (statusHandler_) statusHandler_(status);
}

std::uint32_t XBobjIndexFile::AllocatePage() {
  if (nextPage_ < 0) ResetNextPage();
  const auto page = static_cast<std::uint32_t>(nextPage_);
  if (nextPage_ + kCdxPageSize > 0xFFFFFE00) {
    throw EXbaseError(file_.path() + ": the index file cannot grow beyond 4 GB");
  }
  nextPage_ += kCdxPageSize;
  return page;
}

std::uint64_t XBobjIndexFile::FileSize() {
  return std::max(file_.FileSize(), deferredEnd_);
}

void XBobjIndexFile::ResetNextPage() {
  const std::uint64_t size = FileSize();
  nextPage_ = static_cast<std::int64_t>((size + kCdxPageSize - 1) / kCdxPageSize * kCdxPageSize);
}

void XBobjIndexFile::ReadBlock(std::uint32_t offset, std::uint8_t* buffer, std::uint32_t length) {
  if (offset % kCdxPageSize != 0) {
    throw EXbaseError(
        file_.path() + ": page offset " + std::to_string(offset) + " is not a multiple of 512",
        kInvalidIndexCode);
  }
  if (!TryReadBlock(offset, buffer, length)) {
    throw EXbaseError(
        file_.path() + ": page " + std::to_string(offset) + " lies beyond the end of the file",
        kInvalidIndexCode);
  }
}

bool XBobjIndexFile::TryReadBlock(std::uint32_t offset, std::uint8_t* buffer,
                                  std::uint32_t length) {
  // Blocks of several pages (MDX, NTX) are read page by page too, from the pages kept.
  if (offset % kCdxPageSize == 0 && length % kCdxPageSize == 0 && !file_.shared()) {
    for (std::uint32_t at = 0; at < length; at += kCdxPageSize) {
      const std::uint8_t* page = ReadPage(offset + at, buffer + at);
      if (!page) return false;
      if (page != buffer + at) std::memcpy(buffer + at, page, kCdxPageSize);
    }
    return true;
  }
  WriteDeferred();
  if (file_.ReadAt(offset, buffer, length) < length) return false;
  if (!cipherKey_.empty()) Transform(cipherKey_, buffer, length);
  return true;
}

const std::uint8_t* XBobjIndexFile::ReadPage(std::uint32_t offset, std::uint8_t* scratch) {
  if (const std::uint8_t* kept = deferred_.Find(offset)) return kept;
  const std::size_t chunk = offset / kChunkSize;
  const bool hasStorage = chunk < kept_.size() && kept_[chunk];
  if (file_.shared() || (!hasStorage && chunksStored_ >= kMaxKeptChunks)) {
    if (file_.ReadAt(offset, scratch, kCdxPageSize) < kCdxPageSize) return nullptr;
    if (!cipherKey_.empty()) Transform(cipherKey_, scratch, kCdxPageSize);
    return scratch;
  }
  if (chunk >= keptChunks_.size()) keptChunks_.resize(chunk + 1, 0);
  if (chunk >= kept_.size()) kept_.resize(chunk + 1);
  // Each chunk has storage of its own: no zero-filling and no moving of the chunks before it.
  auto& bytes = kept_[chunk];
  if (keptChunks_[chunk] == 0) {
    // The pages around it are read with it: a tree's pages lie together.
    if (!bytes) {
      bytes = std::make_unique_for_overwrite<std::uint8_t[]>(kChunkSize);
      ++chunksStored_;
    }
    const std::uint32_t read = file_.ReadAt(chunk * kChunkSize, bytes.get(), kChunkSize);
    if (!cipherKey_.empty()) Transform(cipherKey_, bytes.get(), read);
    keptChunks_[chunk] = read / kCdxPageSize;
  }
  const std::uint32_t page = (offset % kChunkSize) / kCdxPageSize;
  return page < keptChunks_[chunk] ? bytes.get() + offset % kChunkSize : nullptr;
}

void XBobjIndexFile::ForgetChunks(std::uint32_t offset, std::uint32_t length) {
  const std::size_t end = std::min<std::size_t>(
      (std::size_t{offset} + length + kChunkSize - 1) / kChunkSize, keptChunks_.size());
  for (std::size_t chunk = offset / kChunkSize; chunk < end; ++chunk)
    keptChunks_[chunk] = 0;
}

XBobjIndexFile::DeferWrites::DeferWrites(XBobjIndexFile& file) : file_(file) {
  if (file_.deferred_.size() > kMaxDeferredPages) file_.WriteDeferred();
  file_.deferring_ = !file_.file_.shared() && file_.file_.writable();
}

void XBobjIndexFile::KeepDeferred(std::uint32_t offset, const std::uint8_t* buffer,
                                  std::uint32_t length) {
  for (std::uint32_t at = 0; at < length; at += kCdxPageSize) {
    deferred_.Keep(offset + at, buffer + at);
  }
  deferredEnd_ = std::max<std::uint64_t>(deferredEnd_, std::uint64_t{offset} + length);
}

std::size_t XBobjIndexFile::WriteDeferredRun(const std::vector<std::uint32_t>& offsets,
                                             std::size_t first) {
  std::size_t end = first + 1;
  while (end < offsets.size() && offsets[end] == offsets[end - 1] + kCdxPageSize)
    ++end;
  const auto length = static_cast<std::uint32_t>((end - first) * kCdxPageSize);
  runBuffer_.resize(length);
  for (std::size_t i = first; i < end; ++i) {
    std::memcpy(runBuffer_.data() + (i - first) * kCdxPageSize, deferred_.Find(offsets[i]),
                kCdxPageSize);
  }
  if (!cipherKey_.empty()) Transform(cipherKey_, runBuffer_.data(), length);
  file_.WriteAt(offsets[first], runBuffer_.data(), length);
  return end - first;
}

void XBobjIndexFile::WriteDeferred() {
  if (deferred_.empty()) return;
  const std::vector<std::uint32_t> offsets = deferred_.SortedOffsets();
  // A write the disk refuses raises its own error naming the file; every page stays kept.
  for (std::size_t first = 0; first < offsets.size();)
    first += WriteDeferredRun(offsets, first);
  // The kept chunks take the pages written: the file is the one copy from now on.
  for (const std::uint32_t offset : offsets)
    KeepWritten(offset, deferred_.Find(offset), kCdxPageSize);
  deferred_.Clear();
  deferredEnd_ = 0;
}

void XBobjIndexFile::WriteBlock(std::uint32_t offset, const std::uint8_t* buffer,
                                std::uint32_t length) {
  if (deferring_ && offset % kCdxPageSize == 0 && length % kCdxPageSize == 0) {
    KeepDeferred(offset, buffer, length);
    return;
  }
  WriteDeferred();
  try {
    if (cipherKey_.empty()) {
      file_.WriteAt(offset, buffer, length);
    } else {
      std::vector<std::uint8_t> enciphered(buffer, buffer + length);
      Transform(cipherKey_, enciphered.data(), length);
      file_.WriteAt(offset, enciphered.data(), length);
    }
  } catch (...) {
    ForgetChunks(offset, length);
    throw;
  }
  KeepWritten(offset, buffer, length);
}

void XBobjIndexFile::KeepWritten(std::uint32_t offset, const std::uint8_t* buffer,
                                 std::uint32_t length) {
  const std::size_t writeEnd = std::size_t{offset} + length;
  const std::size_t end =
      std::min<std::size_t>((writeEnd + kChunkSize - 1) / kChunkSize, keptChunks_.size());
  for (std::size_t chunk = offset / kChunkSize; chunk < end; ++chunk) {
    if (keptChunks_[chunk] == 0) continue;
    const std::size_t chunkStart = chunk * kChunkSize;
    const std::size_t from = std::max<std::size_t>(offset, chunkStart);
    const std::size_t to = std::min<std::size_t>(writeEnd, chunkStart + kChunkSize);
    // Pages past those read (the file ended there) are read again when wanted.
    if (to > chunkStart + std::size_t{keptChunks_[chunk]} * kCdxPageSize) {
      keptChunks_[chunk] = 0;
      continue;
    }
    std::memcpy(kept_[chunk].get() + (from - chunkStart), buffer + (from - offset), to - from);
  }
}

void XBobjIndexFile::Rename(std::string_view newName) {
  WriteDeferred();
  std::string folder(platform::PathFolder(newName));
  if (folder.empty()) folder = platform::PathFolder(file_.path());
  const std::string name =
      std::string(platform::PathStem(newName)) + std::string(platform::PathExtension(file_.path()));
  file_.Rename(platform::PathJoin(folder, name));
}

void XBobjIndexFile::ReKey(std::string_view newKey) {
  WriteDeferred();
  ForgetPages();
  const std::uint64_t size = file_.FileSize();
  std::uint8_t page[kCdxPageSize];
  for (std::uint64_t offset = 0; offset + kCdxPageSize <= size; offset += kCdxPageSize) {
    ReadBlock(static_cast<std::uint32_t>(offset), page, kCdxPageSize);
    if (!newKey.empty()) Transform(newKey, page, kCdxPageSize);
    file_.WriteAt(offset, page, kCdxPageSize);
  }
  cipherKey_ = std::string(newKey);
}

XBobjIndexTag* XBobjIndexFile::TagByIndex(int i) const {
  if (i < 0 || i >= TagCount()) return nullptr;
  return tags_[static_cast<std::size_t>(i)].get();
}

int XBobjIndexFile::TagPosition(std::string_view name) const {
  for (std::size_t i = 0; i < tags_.size(); ++i) {
    if (SameNameIgnoringCase(tags_[i]->name(), name)) return static_cast<int>(i);
  }
  return -1;
}

XBobjIndexTag* XBobjIndexFile::TagByName(std::string_view name) const {
  return TagByIndex(TagPosition(name));
}

void XBobjIndexFile::Lock() {
  if (!file_.shared()) return;
  const XbLockRegion region = XbLockRegionFor(protocol_, XbLockKind::Index, 0, 0, 0, true);
  if (!XbLockWithRetries(file_, region)) {
    throw EXbaseError("Error " + std::to_string(file_.LastError()) + " in Lock of " + file_.path());
  }
}

XbRecordChange XBobjIndexFile::PrepareRecordChange(std::int32_t, const std::uint8_t*) {
  throw EXbaseError("Index file " + file_.path() + " cannot be kept current");
}

bool XBobjIndexFile::ApplyRecordChange(const XbRecordChange&) {
  throw EXbaseError("Index file " + file_.path() + " cannot be kept current");
}

void XBobjIndexFile::Unlock() {
  if (file_.shared() && file_.lockCount() > 0) file_.Unlock();
}

void XbRaiseInvalidIndexFile(const std::string& path, std::string_view kind) {
  std::string why;
  try {
    throw;
  } catch (const EXbaseError& error) {
    if (XbIsDiskFailure(error)) throw;
    why = error.what();
  } catch (const std::exception& error) {
    why = error.what();
  }
  throw EXbaseError(path + ": not a valid " + std::string(kind) + " index file: " + why,
                    kInvalidIndexCode);
}

}  // namespace tables
