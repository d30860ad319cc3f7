// Keeping a compound file's tags current when a record is appended or changed, and telling a
// tag that its tree moved on under it.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_tree_editor.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr int kVersionOffset = 8;

// Puts the stored image in the table's record buffer for the life of the object.
class StoredImageInPlace {
 public:
  StoredImageInPlace(XBO_dBaseFld& table, const std::uint8_t* stored)
      : table_(table), saved_(table.recordImage(), table.recordImage() + table.recordLength()) {
    std::memcpy(table_.recordImage(), stored, saved_.size());
  }
  ~StoredImageInPlace() { std::memcpy(table_.recordImage(), saved_.data(), saved_.size()); }
  StoredImageInPlace(const StoredImageInPlace&) = delete;
  StoredImageInPlace& operator=(const StoredImageInPlace&) = delete;

 private:
  XBO_dBaseFld& table_;
  std::vector<std::uint8_t> saved_;
};

// Whether the record gets an entry in tag, and its key.
bool EvaluateEntry(XBobjCDXTag& tag, std::int32_t record, std::string& key) {
  if (!tag.EvaluateFor()) return false;
  if (!tag.EvaluateKey(key)) {
    throw EXbaseError("Record " + std::to_string(record) + ": the key expression " +
                      tag.header().keyExpression + " of tag " + tag.name() + " gives no key");
  }
  key.resize(std::min(key.size(), static_cast<std::size_t>(tag.keyForm().keyLength)));
  return true;
}

std::uint64_t RecordOffset(const XBO_dBaseFld& table, std::int32_t n) {
  return table.headerLength() +
         std::uint64_t{table.recordLength()} * static_cast<std::uint32_t>(n - 1);
}

// Keeps the table's current record and image, to be put back (Restore) after other records
// were made current.
class CurrentRecordKept {
 public:
  explicit CurrentRecordKept(XBO_dBaseFld& table)
      : table_(table),
        current_(table.currentRecord()),
        image_(table.recordImage(), table.recordImage() + table.recordLength()) {}

  void Restore() {
    std::vector<std::uint8_t> stored(image_.size());
    const auto length = static_cast<std::uint32_t>(stored.size());
    if (current_ >= 1 && current_ <= table_.recordCount() &&
        table_.ReadAt(RecordOffset(table_, current_), stored.data(), length) == length) {
      table_.TakeRecordImage(current_, stored.data());
    }
    std::memcpy(table_.recordImage(), image_.data(), image_.size());
  }

 private:
  XBO_dBaseFld& table_;
  std::int32_t current_;
  std::vector<std::uint8_t> image_;
};

// The lowest record other than skip whose key in tag is key (its FOR holding), or 0; the
// records are read in blocks and made current in turn.
std::int32_t FirstHolding(XBO_dBaseFld& table, XBobjCDXTag& tag, const std::string& key,
                          std::int32_t skip) {
  constexpr std::uint32_t kBlockSize = 64 * 1024;
  const std::uint32_t length = table.recordLength();
  const std::uint32_t perBlock = std::max<std::uint32_t>(1, kBlockSize / length);
  std::vector<std::uint8_t> block(std::size_t{perBlock} * length);
  std::string candidate;
  for (std::int32_t first = 1; first <= table.recordCount();
       first += static_cast<std::int32_t>(perBlock)) {
    const std::uint32_t read = table.ReadAt(RecordOffset(table, first), block.data(),
                                            static_cast<std::uint32_t>(block.size())) /
                               length;
    if (read == 0) break;
    for (std::uint32_t i = 0; i < read; ++i) {
      const auto n = first + static_cast<std::int32_t>(i);
      if (n == skip || n > table.recordCount()) continue;
      table.TakeRecordImage(n, block.data() + std::size_t{i} * length);
      if (EvaluateEntry(tag, n, candidate) && candidate == key) return n;
    }
  }
  return 0;
}

// As FirstHolding, with the table's current record and image put back afterwards.
std::int32_t RecordHolding(XBO_dBaseFld& table, XBobjCDXTag& tag, const std::string& key,
                           std::int32_t skip) {
  CurrentRecordKept kept(table);
  std::int32_t found = 0;
  try {
    found = FirstHolding(table, tag, key, skip);
  } catch (...) {
    kept.Restore();
    throw;
  }
  kept.Restore();
  return found;
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
    const StoredImageInPlace stored(table(), previousImage);
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
  if (keys.oldIn && keys.newIn && keys.oldKey == keys.newKey) {
    return !editor.Holds(keys.newKey, record) && editor.Insert(keys.newKey, record);
  }
  const bool removed = keys.oldIn && editor.Remove(keys.oldKey, record);
  const bool inserted = keys.newIn && editor.Insert(keys.newKey, record);
  if (removed && tag.unique()) {
    // The key this record held may be another record's too, left out while this one had it.
    if (const std::int32_t heir = RecordHolding(table(), tag, keys.oldKey, record); heir != 0) {
      editor.Insert(keys.oldKey, heir);
    }
  }
  return removed || inserted;
}

}  // namespace tables
