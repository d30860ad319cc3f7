// Record writes: the record and index locks, the old image read under them, and the index
// upkeep around the write (keys evaluated before it, moved after it).
#include <cstring>

#include "tables/handler/db_handler.hpp"
#include "tables/handler/index_locks.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/lock_retry.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {

// A lock of the table around one write: the record's, tried once (another program editing
// it keeps it), or the header's around an append, waited for as the other locks are (an append
// without it could take the record number another program is appending). A whole-table lock
// this program holds covers both.
class XBO_dBHandler::WriteLock {
 public:
  WriteLock(XBO_dBHandler& table, XbLockKind kind, std::int32_t record = 0) : table_(table) {
    if (table.holdsWholeFileLock()) return;
    const XbLockRegion region = table.LockRegionOf(kind, record);
    if (kind == XbLockKind::Record) {
      if (!table.LockRegion(region.offset, region.length))
        table.Raise(table.LastError(), xb_sub::MemoLock, table.path());
    } else if (!XbLockWithRetries(table, region)) {
      throw EXbaseError(
          "Error " + std::to_string(table.LastError()) + " in Lock of " + table.path(),
          static_cast<int>(table.LastError()));
    }
    held_ = true;
  }
  ~WriteLock() {
    if (held_) table_.ReleaseOneLock();
  }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

 private:
  XBO_dBHandler& table_;
  bool held_ = false;
};

void XBO_dBHandler::ReleaseOneLock() {
  // A lock the system refuses to release is forgotten: kept, it would block every other lock
  // of this table object.
  if (!Unlock() && lockCount() == 1) ReleaseLock();
}

std::vector<XBobjIndexFile*> XBO_dBHandler::OpenFiles() const {
  std::vector<XBobjIndexFile*> files;
  for (const auto& slot : slots_) {
    if (slot) files.push_back(slot.get());
  }
  return files;
}

std::vector<std::uint8_t> XBO_dBHandler::StoredImage(std::int32_t n) {
  std::vector<std::uint8_t> image(recordLength());
  const std::uint64_t offset = headerLength() + static_cast<std::uint64_t>(n - 1) * recordLength();
  // Straight from the file: the block may hold bytes from before another program's write.
  if (XBO_dBaseFld::ReadAt(offset, image.data(), recordLength()) < recordLength()) {
    Raise(xb_code::BeyondEof, xb_sub::RecordRead, path());
  }
  if (encrypted()) TransformBlock(readKey(), image.data(), image.data(), recordLength(), false);
  return image;
}

void XBO_dBHandler::KeepOtherProgramsFields(const std::vector<std::uint8_t>& stored) {
  std::uint8_t* image = recordImage();
  if (!fieldChanged(0)) image[0] = stored[0];
  for (const XbFieldDesc& field : fields()) {
    if (!fieldChanged(field.number)) {
      std::memcpy(image + field.offset, stored.data() + field.offset, field.length);
    }
  }
}

void XBO_dBHandler::WriteWithUpkeep(std::int32_t n) {
  const std::vector<XBobjIndexFile*> files = OpenFiles();
  const XbIndexLocks indexLocks(files);
  const std::vector<std::uint8_t> stored = StoredImage(n);
  if (n == currentRecord()) KeepOtherProgramsFields(stored);
  std::vector<XbRecordChange> changes;
  changes.reserve(files.size());
  for (XBobjIndexFile* file : files)
    changes.push_back(file->PrepareRecordChange(n, stored.data()));
  XBO_dBaseFld::WriteRecord(n);
  for (std::size_t i = 0; i < files.size(); ++i)
    files[i]->ApplyRecordChange(changes[i]);
}

void XBO_dBHandler::AppendWithUpkeep() {
  const std::vector<XBobjIndexFile*> files = OpenFiles();
  const XbIndexLocks indexLocks(files);
  const WriteLock headerLock(*this, XbLockKind::Header);
  ReReadHeader();
  recordImage()[0] = kActiveFlag;
  const std::int32_t n = recordCount() + 1;
  std::vector<XbRecordChange> changes;
  changes.reserve(files.size());
  for (XBobjIndexFile* file : files)
    changes.push_back(file->PrepareRecordChange(n, nullptr));
  XBO_dBaseFld::AppendRecord();
  for (std::size_t i = 0; i < files.size(); ++i)
    files[i]->ApplyRecordChange(changes[i]);
}

void XBO_dBHandler::AppendRecord() {
  AppendWithUpkeep();
  position_ = currentRecord();
  bof_ = eof_ = false;
  NoteOutside();
}

void XBO_dBHandler::PutRecord(std::int32_t n) {
  if (n <= 0 || n > recordCount()) ReReadHeader();
  if (n <= 0 || n > recordCount()) {
    AppendRecord();
    return;
  }
  {
    const WriteLock recordLock(*this, XbLockKind::Record, n);
    WriteWithUpkeep(n);
  }
  position_ = n;
  bof_ = eof_ = false;
  NoteOutside();
}

void XBO_dBHandler::MarkCurrentRecord(bool deleted) {
  // At EOF the image is blank (or the last record, left behind by a skip past the end):
  // there is no record to mark, and writing would append or hit the wrong one.
  if (eof_ || position_ < 1 || position_ > recordCount()) {
    Raise(xb_code::BeyondEof, xb_sub::RecordRead, path());
  }
  SetRecordDeleted(deleted);
  PutRecord(position_);
}

void XBO_dBHandler::DeleteRecord() {
  MarkCurrentRecord(true);
}

void XBO_dBHandler::RecallRecord() {
  MarkCurrentRecord(false);
}

}  // namespace tables
