// Keeping an NTX file's tag current when a record is appended or changed: the version counter
// that tells other programs, and the tag's entries moved by the tree editor.
#include "tables/index/ntx_file.hpp"
#include "tables/index/ntx_tree_editor.hpp"
#include "tables/index/record_scan.hpp"
#include "tables/index/tag_key_change.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr int kVersionOffset = 2;
// The counter runs from 1 to this and starts again at 1.
constexpr std::uint16_t kLastVersion = 32767;

bool SameTreeShape(const NtxHeader& left, const NtxHeader& right) {
  return left.keyLength == right.keyLength && left.entrySize == right.entrySize &&
         left.maxKeys == right.maxKeys && left.keyExpression == right.keyExpression;
}

}  // namespace

std::uint32_t XBobjNTXTag::ReadRootOffset() {
  if (file().diskFile().shared()) {
    std::uint8_t page[kNtxPageSize];
    file().ReadBlock(0, page, kNtxPageSize);
    NtxHeader stored;
    try {
      stored = NtxReadHeader(page, file().FileSize());
    } catch (const NtxLayoutError& error) {
      NodeFault(0, std::string("the header page: ") + error.what());
    }
    if (!SameTreeShape(stored, header_)) {
      NodeFault(0, "the index was written anew with another key; open it again");
    }
    header_.root = stored.root;
    header_.version = stored.version;
  }
  treeVersion_ = header_.version;
  return RootRead(header_.root, kNtxPageSize, header_.maxKeys);
}

std::uint16_t XBobjNTXTag::CurrentVersion() {
  if (!file().diskFile().shared()) return header_.version;
  std::uint8_t page[kNtxPageSize];
  file().ReadBlock(0, page, kNtxPageSize);
  return ReadLE16(page + kVersionOffset);
}

bool XBobjNTXFile::HasChanged() {
  if (!file_.shared() || tags_.empty()) return false;
  return NtxTag()->CurrentVersion() != NtxTag()->header().version;
}

std::uint32_t XBobjNTXFile::AllocatePage() {
  if (nextPage_ == 0) ResetNextPage();
  if (nextPage_ + kNtxPageSize > 0xFFFFFC00) {
    throw EXbaseError(file_.path() + ": the index file cannot grow beyond 4 GB");
  }
  const auto page = static_cast<std::uint32_t>(nextPage_);
  nextPage_ += kNtxPageSize;
  return page;
}

void XBobjNTXFile::ResetNextPage() {
  nextPage_ = (FileSize() + kNtxPageSize - 1) / kNtxPageSize * kNtxPageSize;
}

XbRecordChange XBobjNTXFile::PrepareRecordChange(std::int32_t record,
                                                 const std::uint8_t* previousImage) {
  if (tags_.empty()) throw EXbaseError(file_.path() + ": the index file holds no index yet");
  XbRecordChange change;
  change.record = record;
  change.append = previousImage == nullptr;
  change.tags.resize(1);
  XbTagKeyChange& keys = change.tags[0];
  keys.newIn = XbEvaluateEntry(*NtxTag(), record, keys.newKey);
  if (previousImage) {
    const XbStoredImageInPlace stored(table(), previousImage);
    keys.oldIn = XbEvaluateEntry(*NtxTag(), record, keys.oldKey);
  }
  return change;
}

bool XBobjNTXFile::ApplyRecordChange(const XbRecordChange& change) {
  if (tags_.empty()) throw EXbaseError(file_.path() + ": the index file holds no index yet");
  if (!file_.writable()) {
    throw EXbaseError(file_.path() +
                      ": the index file is open read-only and cannot be kept current");
  }
  if (change.tags.size() != 1) {
    throw EXbaseError(file_.path() + ": a record change prepared for " +
                      std::to_string(change.tags.size()) + " tags given to a single index file");
  }
  if (change.record < 1) {
    throw EXbaseError(file_.path() + ": record number " + std::to_string(change.record) +
                      " cannot be entered in its index");
  }
  if (file_.shared() && file_.lockCount() == 0) {
    throw EXbaseError(file_.path() + ": keeping the index current needs the index lock");
  }
  // The new version goes out first, so that even a change that fails part way is seen.
  AdvanceVersion();
  ResetNextPage();
  return ApplyToTag(change.tags[0], change.record);
}

void XBobjNTXFile::AdvanceVersion() {
  std::uint8_t page[kNtxPageSize];
  ReadBlock(0, page, kNtxPageSize);
  if (file_.shared()) {
    // Another program may have changed the tree (and its counter) since the header was read.
    NtxHeader stored;
    try {
      stored = NtxReadHeader(page, FileSize());
    } catch (const NtxLayoutError&) {
      XbRaiseInvalidIndexFile(file_.path(), "NTX");
    }
    if (!SameTreeShape(stored, header_)) {
      throw EXbaseError(
          file_.path() + ": the index was written anew with another key; open it again",
          kInvalidIndexCode);
    }
    header_.root = stored.root;
    header_.version = stored.version;
  }
  header_.version = header_.version >= kLastVersion ? 1 : header_.version + 1;
  WriteLE16(page + kVersionOffset, header_.version);
  WriteBlock(0, page, kNtxPageSize);
  NtxTag()->NoteHeader(header_);
}

bool XBobjNTXFile::ApplyToTag(const XbTagKeyChange& keys, std::int32_t record) {
  XBobjNTXTag& tag = *NtxTag();
  NtxTreeEditor editor(tag, *this);
  return XbApplyTagKeyChange(
      editor, tag, table(), keys, record,
      [&tag](std::int32_t n, std::string& key) { return XbEvaluateEntry(tag, n, key); });
}

}  // namespace tables
