// Keeping a compound file's tags current when a record is appended or changed, and telling a
// tag that its tree moved on under it.
#include <algorithm>

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_tree_editor.hpp"
#include "tables/index/record_scan.hpp"
#include "tables/index/tag_key_change.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr int kVersionOffset = 8;

// Whether the record gets an entry in tag, and its key cut to the key length.
bool EvaluateEntry(XBobjCDXTag& tag, std::int32_t record, std::string& key) {
  if (!XbEvaluateEntry(tag, record, key)) return false;
  key.resize(std::min(key.size(), static_cast<std::size_t>(tag.keyForm().keyLength)));
  return true;
}

}  // namespace

std::uint32_t XBobjCDXTag::ReadRootOffset() {
  treeVersion_ = file_.TreeVersion();
  return header_.root;
}

bool XBobjCDXTag::TreeChanged() {
  return file_.TreeVersion() != treeVersion_;
}

std::int32_t XBobjCDXFile::StoredVersion() {
  std::uint8_t bytes[kCdxPageSize];
  ReadBlock(0, bytes, kCdxPageSize);
  return static_cast<std::int32_t>(ReadLE32(bytes + kVersionOffset));
}

std::int32_t XBobjCDXFile::TreeVersion() {
  return file_.shared() ? StoredVersion() : version_;
}

XbRecordChange XBobjCDXFile::PrepareRecordChange(std::int32_t record,
                                                 const std::uint8_t* previousImage) {
  XbRecordChange change;
  change.record = record;
  change.append = previousImage == nullptr;
  change.tags.resize(tags_.size());
  for (std::size_t i = 0; i < tags_.size(); ++i) {
    XbTagKeyChange& keys = change.tags[i];
    keys.newIn = EvaluateEntry(*CdxTag(static_cast<int>(i)), record, keys.newKey);
  }
  if (previousImage) {
    const XbStoredImageInPlace stored(table(), previousImage);
    for (std::size_t i = 0; i < tags_.size(); ++i) {
      XbTagKeyChange& keys = change.tags[i];
      keys.oldIn = EvaluateEntry(*CdxTag(static_cast<int>(i)), record, keys.oldKey);
    }
  }
  return change;
}

bool XBobjCDXFile::ApplyRecordChange(const XbRecordChange& change) {
  RequireWritable("keeping the tags current");
  if (change.tags.size() != tags_.size()) {
    throw EXbaseError(path() + ": a record change prepared for " +
                      std::to_string(change.tags.size()) + " tags given to a file of " +
                      std::to_string(tags_.size()));
  }
  if (change.record < 1) {
    throw EXbaseError(path() + ": record number " + std::to_string(change.record) +
                      " cannot be entered in its tags");
  }
  if (file_.shared()) {
    if (file_.lockCount() == 0) {
      throw EXbaseError(path() + ": keeping the tags current needs the index lock");
    }
    // Another writer may have moved the directory on since it was read.
    directory_->ReloadHeader();
    version_ = directory_->header().version;
  }
  // A file open exclusively keeps the changed pages in memory until the table is flushed or
  // closed: a program that dies before then leaves the file as of the last flush, or part
  // written, which a reindex repairs; the table's records are written at once either way.
  const DeferWrites deferring(*this);
  // A file open exclusively grows only through this object, which writes every page it
  // allocates: its next free page stays known from one change to the next.
  if (file_.shared()) ResetNextPage();
  // The new version goes out first, so that even a change that fails part way is seen.
  ++version_;
  directory_->SetVersion(version_);
  directory_->WriteHeader(directory_->header().root);
  const auto highestRecord =
      static_cast<std::uint32_t>(std::max(table().recordCount(), change.record));
  bool changed = false;
  for (std::size_t i = 0; i < tags_.size(); ++i) {
    changed =
        ApplyToTag(*CdxTag(static_cast<int>(i)), change.tags[i], change.record, highestRecord) ||
        changed;
  }
  return changed;
}

bool XBobjCDXFile::ApplyToTag(XBobjCDXTag& tag, const XbTagKeyChange& keys, std::int32_t record,
                              std::uint32_t highestRecord) {
  CdxTreeEditor& editor = tag.Editor(highestRecord);
  return XbApplyTagKeyChange(
      editor, tag, table(), keys, record,
      [&tag](std::int32_t n, std::string& key) { return EvaluateEntry(tag, n, key); });
}

}  // namespace tables
