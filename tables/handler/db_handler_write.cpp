// Record writes: the record and index locks, the old image read under them, and the index
// upkeep around the write (keys evaluated before it, moved after it).
#include <cstring>

#include "tables/handler/db_handler.hpp"
#include "tables/handler/index_locks.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/lock_retry.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {

// The lock of the record being changed, tried once (another program editing it keeps it).
class XBO_dBHandler::RecordLock {
 public:
  RecordLock(XBO_dBHandler& table, std::int32_t n) : table_(table) {
    if (!table.LockRecord(n)) table.Raise(table.LastError(), xb_sub::MemoLock, table.path());
  }
  ~RecordLock() { table_.ReleaseOneLock(); }
  RecordLock(const RecordLock&) = delete;
  RecordLock& operator=(const RecordLock&) = delete;

 private:
  XBO_dBHandler& table_;
};

// The header lock around an append, waited for as the other locks are; an append without it
// could take the record number another program is appending.
class XBO_dBHandler::HeaderLock {
 public:
  explicit HeaderLock(XBO_dBHandler& table) : table_(table) {
    if (!XbLockWithRetries(table, table.LockRegionOf(XbLockKind::Header))) {
      throw EXbaseError(
          "Error " + std::to_string(table.LastError()) + " in Lock of " + table.path(),
          static_cast<int>(table.LastError()));
    }
  }
  ~HeaderLock() { table_.ReleaseOneLock(); }
  HeaderLock(const HeaderLock&) = delete;
  HeaderLock& operator=(const HeaderLock&) = delete;

 private:
  XBO_dBHandler& table_;
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
  const HeaderLock headerLock(*this);
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
    const RecordLock recordLock(*this, n);
    WriteWithUpkeep(n);
  }
  position_ = n;
  bof_ = eof_ = false;
  NoteOutside();
}

void XBO_dBHandler::DeleteRecord() {
  SetRecordDeleted(true);
  PutRecord(currentRecord());
}

void XBO_dBHandler::RecallRecord() {
  SetRecordDeleted(false);
  PutRecord(currentRecord());
}

}  // namespace tables
