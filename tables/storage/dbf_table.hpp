#pragma once
// XBO_dBaseDBF: one open table file. Header, record count, records read, written and appended,
// the table's locks and its cipher; the memo file is opened on first use. Field access lives
// in XBO_dBaseFld.
//
// The record image holds the current record plain (decoded); writes encode it into a separate
// buffer. The header is always written as the whole 32-byte block last read with only the
// fields this engine owns replaced (date, count, flags, update stamp, cipher flag, user id).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/storage/dbf_format.hpp"
#include "tables/storage/disk_file.hpp"
#include "tables/storage/field_descriptor.hpp"
#include "tables/storage/lock_protocol.hpp"
#include "tables/storage/memo_file.hpp"

namespace tables {

// Status notifications raised around the table's operations (StatusNotify). TableOpened is
// raised by the class that derives from the table once its construction is done: a constructor
// cannot reach an override.
namespace xb_status {
inline constexpr int RecordBlanked = 0;
inline constexpr int TableOpened = 2;
inline constexpr int BeforeRead = 4;
inline constexpr int BeforeWrite = 5;
inline constexpr int AfterRead = 6;
inline constexpr int AfterWrite = 7;
inline constexpr int AfterFlush = 8;
}  // namespace xb_status

class XBO_dBaseDBF : public XBO_DiskFile {
 public:
  // Opens a table. name is trimmed and upper-cased and gets ".DBF" when it has no extension.
  // key: the table key, empty for a plain table. Raises error 1001 (subcode 1204) for a header
  // that is not a table's, EXbaseEncryption for a missing, superfluous or invalid key.
  // The table lives on machine, which must outlive it; without one, on the current machine.
  XBO_dBaseDBF(platform::Machine& machine, std::string_view name, bool shared, bool writable,
               std::string_view key);
  XBO_dBaseDBF(std::string_view name, bool shared, bool writable, std::string_view key);
  // Closes as Close() does; an error while closing is lost here.
  ~XBO_dBaseDBF() override;

  // Writes a dirty header (after re-reading it), closes the memo file and the table.
  void Close() override;
  // Flushes the table and an open memo file; notifies AfterFlush.
  void Flush() override;
  // The protocol's whole-table lock; re-reads the header. While it is held the header is
  // written only when it is released.
  bool LockFile() override;
  // Renames the table and its memo file; when the memo file cannot follow, the table keeps its
  // old name.
  void Rename(std::string_view newName) override;
  bool Unlock() override;

  // Records (1-based). ReadRecord raises 1002 (subcode 1207) for a number outside the table.
  void ReadRecord(std::int32_t n);
  // Writes the record image as record n; n <= 0 or beyond the count appends instead.
  void WriteRecord(std::int32_t n);
  // Makes stored (record n's bytes as the file holds them, read by the caller in bulk) the
  // current record, deciphered as ReadRecord would, without the read notifications.
  void TakeRecordImage(std::int32_t n, const std::uint8_t* stored);
  // As TakeRecordImage, for a record that is only looked at (a scan evaluating expressions on
  // every record): the unchanged image and the change marks are left as they were, so the
  // caller makes a record current with ReadRecord or TakeRecordImage before anything is written.
  void ViewRecordImage(std::int32_t n, const std::uint8_t* stored);
  // The record buffer with its record number, unchanged image and change marks, to be put back
  // exactly after other records were looked at.
  struct RecordState {
    std::int32_t current = 0;
    std::vector<std::uint8_t> record;
    std::vector<std::uint8_t> unchanged;
    std::vector<std::uint8_t> changed;
    bool recordChanged = false;
  };
  RecordState SaveRecordState() const;
  void RestoreRecordState(const RecordState& state);
  // Appends the record image (deletion flag set to active) with the end-of-file mark.
  void AppendRecord();
  bool RecordDeleted() const { return record_[0] == kDeletedFlag; }
  void SetRecordDeleted(bool deleted);
  std::int32_t currentRecord() const { return current_; }
  std::uint8_t* recordImage() { return record_.data(); }
  const std::uint8_t* recordImage() const { return record_.data(); }
  // The record as last read or written.
  const std::uint8_t* unchangedImage() const { return unchanged_.data(); }
  bool recordChanged() const { return recordChanged_; }
  // Field n (1-based; 0 is the deletion flag) changed since the last read or write.
  bool fieldChanged(int n) const;

  // Header. ReReadHeader works on shared tables only: it adopts the header and the count from
  // the file size, setting changedByOthers when either count or update stamp moved.
  void ReReadHeader();
  // Writes a dirty header when writable, unless this program holds the whole-table lock (the
  // header follows when the lock is released) or the table is open exclusively (nobody else can
  // see the file, and readers take the count from the file size: the header follows at flush
  // and close).
  void WriteHeader();
  void MarkHeaderDirty() { headerDirty_ = true; }
  // Marks the table as having its production index (header byte 28) and writes the header.
  void SetProductionIndexFlag();
  bool headerDirty() const { return headerDirty_; }
  bool changedByOthers() const { return changedByOthers_; }
  void ClearChangedByOthers() { changedByOthers_ = false; }

  // Locks, placed by the lock protocol.
  bool LockRecord(std::int32_t n);
  bool LockHeader();
  // kind: WholeTable or WholeTableFromZero.
  bool LockTable(XbLockKind kind);
  XbLockRegion LockRegionOf(XbLockKind kind, std::int32_t recordNumber = 0) const;
  void SetLockProtocol(TxbLokProtocol protocol);
  TxbLokProtocol lockProtocol() const { return protocol_; }
  // Whether the table has an index file open (moves record locks under Default and FoxLock).
  void SetIndexFilesOpen(bool open) { indexFilesOpen_ = open; }

  // The memo file, opened on first use (errors: no memo file for this table; error 2,
  // subcode 6101 when the file is missing).
  bool hasMemo() const { return memoKind_ != XbMemoKind::None; }
  XbMemoKind memoKind() const { return memoKind_; }
  XBobjMemo& MemoFile();

  std::uint8_t version() const { return header_[xb_header::Version]; }
  std::uint32_t headerLength() const { return headerLength_; }
  std::uint32_t recordLength() const { return recordLength_; }
  std::int32_t recordCount() const { return recordCount_; }
  std::uint8_t tableFlags() const { return flags_; }
  std::uint32_t updateStamp() const { return stamp_; }
  bool encrypted() const { return encrypted_; }
  const std::uint8_t* headerBlock() const { return header_; }
  std::int32_t userId() const { return userId_; }
  void SetUserId(std::int32_t id) { userId_ = id; }
  bool autoFlush() const { return autoFlush_; }
  void SetAutoFlush(bool on) { autoFlush_ = on; }
  const std::vector<XbFieldDesc>& fields() const { return fields_; }
  // The field descriptor area as read, decoded.
  const std::vector<std::uint8_t>& descriptorArea() const { return descriptorArea_; }

 protected:
  // The cipher state: records and memo texts are decoded with readKey and encoded with
  // writeKey (they differ only while the key is being changed).
  void SetCipher(bool encrypted, std::string readKey, std::string writeKey);
  const std::string& readKey() const { return readKey_; }
  const std::string& writeKey() const { return writeKey_; }
  void MarkFieldChanged(int n);
  void MarkAllFieldsChanged();

 private:
  void ReadHeaderBlock();
  void CheckKey(std::string_view key);
  void ReadDescriptors();
  std::int32_t CountFromFileSize();
  std::uint64_t RecordOffset(std::int32_t n) const;
  // Writes length bytes of the record image (encoded if needed) at record n's offset.
  void WriteImage(std::int32_t n, std::uint32_t length);
  void AfterWrite(std::int32_t n);
  // Writes the dirty header block now (when writable), whatever would defer it.
  void StoreHeader();
  // Gives the table its old name back after its memo file could not follow a rename.
  void MoveBack(const std::string& oldPath);
  [[noreturn]] void HeaderInvalid();

  std::uint8_t header_[xb_header::Size] = {};
  std::uint32_t headerLength_ = 0;
  std::uint32_t recordLength_ = 0;
  std::int32_t recordCount_ = 0;
  std::uint8_t flags_ = 0;
  std::uint32_t stamp_ = 0;
  bool encrypted_ = false;
  std::string readKey_;
  std::string writeKey_;
  std::int32_t userId_ = 0;
  bool headerDirty_ = false;
  bool changedByOthers_ = false;
  bool autoFlush_ = false;
  TxbLokProtocol protocol_ = TxbLokProtocol::Default;
  bool indexFilesOpen_ = false;
  XbMemoKind memoKind_ = XbMemoKind::None;
  std::unique_ptr<XBobjMemo> memo_;
  std::vector<std::uint8_t> descriptorArea_;
  std::vector<XbFieldDesc> fields_;
  std::int32_t current_ = 0;
  std::vector<std::uint8_t> record_;     // record length + 1: the end mark follows
  std::vector<std::uint8_t> unchanged_;  // record length
  std::vector<std::uint8_t> encoded_;    // record length + 1: target of the cipher
  std::vector<std::uint8_t> changed_;    // one per field, plus index 0 for the deletion flag
  bool recordChanged_ = false;
};

}  // namespace tables
