#include "tables/storage/dbf_table.hpp"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "platform/machine.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/cipher.hpp"
#include "tables/storage/memo_dbase4.hpp"
#include "tables/storage/memo_fox.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// Releases the header lock taken around an append, however the append ends.
class HeaderLock {
 public:
  explicit HeaderLock(XBO_dBaseDBF& table) : table_(table), held_(table.LockHeader()) {}
  ~HeaderLock() { Release(); }
  void Release() {
    if (held_) table_.Unlock();
    held_ = false;
  }
  HeaderLock(const HeaderLock&) = delete;
  HeaderLock& operator=(const HeaderLock&) = delete;

 private:
  XBO_dBaseDBF& table_;
  bool held_;
};

}  // namespace

XBO_dBaseDBF::XBO_dBaseDBF(std::string_view name, bool shared, bool writable, std::string_view key)
    : XBO_dBaseDBF(platform::CurrentMachine(), name, shared, writable, key) {}

XBO_dBaseDBF::XBO_dBaseDBF(platform::Machine& machine, std::string_view name, bool shared,
                           bool writable, std::string_view key)
    : XBO_DiskFile(machine) {
  Open(XbTableFileName(machine.codePages(), name), shared, writable);
  ReadHeaderBlock();
  CheckKey(key);
  memoKind_ = XbMemoKindFor(version(), header_[xb_header::Flags]);
  recordCount_ = CountFromFileSize();
  ReadDescriptors();
  record_.assign(recordLength_ + 1, kActiveFlag);
  record_[recordLength_] = kEndOfFile;
  unchanged_.assign(recordLength_, kActiveFlag);
  encoded_.assign(recordLength_ + 1, 0);
  changed_.assign(fields_.size() + 1, 0);
  headerDirty_ = false;
  ReReadHeader();
  changedByOthers_ = false;
}

XBO_dBaseDBF::~XBO_dBaseDBF() {
  try {
    XBO_dBaseDBF::Close();
  } catch (const std::exception&) {
    // A destructor cannot raise; Close() reports the same failure to callers that ask.
  }
}

void XBO_dBaseDBF::HeaderInvalid() {
  Raise(xb_code::HeaderInvalid, xb_sub::HeaderCheck, path());
}

void XBO_dBaseDBF::ReadHeaderBlock() {
  if (ReadAt(0, header_, xb_header::Size) < xb_header::Size) HeaderInvalid();
  if (!XbKnownVersion(version())) HeaderInvalid();
  headerLength_ = ReadLE16(header_ + xb_header::HeaderLength);
  recordLength_ = ReadLE16(header_ + xb_header::RecordLength);
  flags_ = header_[xb_header::Flags] & xb_header::FlagBits;
  stamp_ = ReadLE32(header_ + xb_header::UpdateStamp);
  encrypted_ = header_[xb_header::Encrypted] != 0;
  if (recordLength_ == 0 || XbDescriptorAreaSize(version(), headerLength_) < 0) HeaderInvalid();
}

void XBO_dBaseDBF::CheckKey(std::string_view key) {
  if (encrypted_ && key.empty()) {
    throw EXbaseEncryption(XbKeyErrorMessage(xb_code::NoPassword, path()), xb_code::NoPassword);
  }
  if (!encrypted_ && !key.empty()) {
    throw EXbaseEncryption(XbKeyErrorMessage(xb_code::PasswordForUnencrypted, path()),
                           xb_code::PasswordForUnencrypted);
  }
  readKey_ = key;
  writeKey_ = key;
}

void XBO_dBaseDBF::ReadDescriptors() {
  const auto size = static_cast<std::uint32_t>(XbDescriptorAreaSize(version(), headerLength_));
  descriptorArea_.assign(size, 0);
  if (ReadAt(xb_header::Size, descriptorArea_.data(), size) < size) HeaderInvalid();
  if (encrypted_)
    TransformBlock(readKey_, descriptorArea_.data(), descriptorArea_.data(), size, false);
  fields_ = XbParseDescriptors(descriptorArea_.data(), size);
  if (fields_.size() > kMaxFields) HeaderInvalid();
  const std::uint64_t used = std::accumulate(
      fields_.begin(), fields_.end(), std::uint64_t{1},
      [](std::uint64_t sum, const XbFieldDesc& field) { return sum + field.length; });
  if (encrypted_ && used != recordLength_) {
    throw EXbaseEncryption(XbKeyErrorMessage(xb_code::InvalidPassword, path()),
                           xb_code::InvalidPassword);
  }
  // Fields reaching past the record would be read beyond the record image.
  if (used > recordLength_) HeaderInvalid();
}

std::int32_t XBO_dBaseDBF::CountFromFileSize() {
  const std::uint64_t size = FileSize();
  if (size <= headerLength_) return 0;
  const std::uint64_t count = (size - headerLength_) / recordLength_;
  return static_cast<std::int32_t>(std::min<std::uint64_t>(count, INT32_MAX));
}

std::uint64_t XBO_dBaseDBF::RecordOffset(std::int32_t n) const {
  return headerLength_ + static_cast<std::uint64_t>(n - 1) * recordLength_;
}

void XBO_dBaseDBF::Close() {
  if (!isOpen()) return;
  ReleaseLock();
  if (headerDirty_) {
    ReReadHeader();
    StoreHeader();
  }
  if (memo_) {
    memo_->Close();
    memo_.reset();
  }
  XBO_DiskFile::Close();
}

void XBO_dBaseDBF::Flush() {
  if (!shared()) StoreHeader();
  XBO_DiskFile::Flush();
  if (memo_) memo_->MemoFlush();
  StatusNotify(xb_status::AfterFlush);
}

bool XBO_dBaseDBF::LockFile() {
  return LockTable(XbLockKind::WholeTable);
}

bool XBO_dBaseDBF::LockTable(XbLockKind kind) {
  if (!LockWhole(LockRegionOf(kind))) return false;
  ReReadHeader();
  return true;
}

bool XBO_dBaseDBF::Unlock() {
  const bool wholeTable = holdsWholeFileLock();
  if (!XBO_DiskFile::Unlock()) return false;
  if (wholeTable && lockCount() == 0) WriteHeader();
  return true;
}

bool XBO_dBaseDBF::LockRecord(std::int32_t n) {
  const XbLockRegion region = LockRegionOf(XbLockKind::Record, n);
  return LockRegion(region.offset, region.length);
}

bool XBO_dBaseDBF::LockHeader() {
  const XbLockRegion region = LockRegionOf(XbLockKind::Header);
  return LockRegion(region.offset, region.length);
}

XbLockRegion XBO_dBaseDBF::LockRegionOf(XbLockKind kind, std::int32_t recordNumber) const {
  return XbLockRegionFor(protocol_, kind, recordNumber, headerLength_, recordLength_,
                         indexFilesOpen_);
}

void XBO_dBaseDBF::SetLockProtocol(TxbLokProtocol protocol) {
  protocol_ = protocol;
  if (memo_) memo_->SetLockProtocol(protocol);
}

void XBO_dBaseDBF::Rename(std::string_view newName) {
  // Open the memo file first, so that a missing one stops the rename before anything moved.
  if (hasMemo()) MemoFile();
  const std::string oldPath = path();
  XBO_DiskFile::Rename(XbTableFileName(machine().codePages(), newName));
  if (!memo_) return;
  try {
    memo_->MemoRename(path());
  } catch (const EXbaseError&) {
    // A table whose memo file kept the old name would find no memos: the table goes back too.
    const std::string memoPath = XbWithExtension(path(), XbMemoExtension(memoKind_));
    if (!machine().files().Exists(memoPath)) MoveBack(oldPath);
    throw;
  }
}

void XBO_dBaseDBF::MoveBack(const std::string& oldPath) {
  try {
    XBO_DiskFile::Rename(oldPath);
  } catch (const EXbaseError&) {
    // The failure of the memo file's rename is the one to report.
  }
}

XBobjMemo& XBO_dBaseDBF::MemoFile() {
  if (memo_) return *memo_;
  if (!hasMemo()) {
    Raise(xb_code::FieldTypeIncorrect, xb_sub::OwnText, "Table " + path() + " has no memo file");
  }
  const std::string memoPath = XbWithExtension(path(), XbMemoExtension(memoKind_));
  switch (memoKind_) {
    case XbMemoKind::DBase4:
      memo_ = std::make_unique<XBobjMemo4>(*this, memoPath, shared(), writable());
      break;
    case XbMemoKind::Fox:
      memo_ = std::make_unique<XBobjFXMemo20>(*this, memoPath, shared(), writable());
      break;
    default:
      memo_ = std::make_unique<XBobjMemo>(*this, memoPath, shared(), writable());
      break;
  }
  memo_->SetKeys(encrypted_, readKey_, writeKey_);
  memo_->SetLockProtocol(protocol_);
  return *memo_;
}

void XBO_dBaseDBF::SetCipher(bool encrypted, std::string readKey, std::string writeKey) {
  encrypted_ = encrypted;
  readKey_ = std::move(readKey);
  writeKey_ = std::move(writeKey);
  if (memo_) memo_->SetKeys(encrypted_, readKey_, writeKey_);
}

void XBO_dBaseDBF::ReReadHeader() {
  if (!shared()) return;
  std::uint8_t block[xb_header::Size];
  if (ReadAt(0, block, xb_header::Size) < xb_header::Size) HeaderInvalid();
  const std::int32_t count = CountFromFileSize();
  const std::uint32_t stamp = ReadLE32(block + xb_header::UpdateStamp);
  if (count != recordCount_ || stamp != stamp_) changedByOthers_ = true;
  std::memcpy(header_, block, xb_header::Size);
  recordCount_ = count;
  stamp_ = stamp;
}

void XBO_dBaseDBF::WriteHeader() {
  if (shared() && !holdsWholeFileLock()) StoreHeader();
}

void XBO_dBaseDBF::SetProductionIndexFlag() {
  if ((flags_ & xb_header::ProductionIndexFlag) != 0) return;
  flags_ |= xb_header::ProductionIndexFlag;
  headerDirty_ = true;
  StoreHeader();
}

void XBO_dBaseDBF::StoreHeader() {
  if (!writable() || !headerDirty_) return;
  const platform::LocalTime now = machine().clock().Now();
  header_[xb_header::UpdateDate] = static_cast<std::uint8_t>(now.year % 100);
  header_[xb_header::UpdateDate + 1] = static_cast<std::uint8_t>(now.month);
  header_[xb_header::UpdateDate + 2] = static_cast<std::uint8_t>(now.day);
  WriteLE32(header_ + xb_header::RecordCount, static_cast<std::uint32_t>(recordCount_));
  header_[xb_header::Flags] = flags_;
  const std::uint32_t stamp = XbUpdateStamp(now.hour, now.minute, now.second, now.millisecond);
  WriteLE32(header_ + xb_header::UpdateStamp, stamp);
  header_[xb_header::Encrypted] = encrypted_ ? 1 : 0;
  WriteLE32(header_ + xb_header::UserId, static_cast<std::uint32_t>(userId_));
  WriteAt(0, header_, xb_header::Size);
  stamp_ = stamp;
  headerDirty_ = false;
}

void XBO_dBaseDBF::ViewRecordImage(std::int32_t n, const std::uint8_t* stored) {
  std::memcpy(record_.data(), stored, recordLength_);
  if (encrypted_) TransformBlock(readKey_, record_.data(), record_.data(), recordLength_, false);
  current_ = n;
}

XBO_dBaseDBF::RecordState XBO_dBaseDBF::SaveRecordState() const {
  return {current_, record_, unchanged_, changed_, recordChanged_};
}

void XBO_dBaseDBF::RestoreRecordState(const RecordState& state) {
  current_ = state.current;
  record_ = state.record;
  unchanged_ = state.unchanged;
  changed_ = state.changed;
  recordChanged_ = state.recordChanged;
}

void XBO_dBaseDBF::TakeRecordImage(std::int32_t n, const std::uint8_t* stored) {
  ViewRecordImage(n, stored);
  std::memcpy(unchanged_.data(), record_.data(), recordLength_);
  std::fill(changed_.begin(), changed_.end(), 0);
  recordChanged_ = false;
}

void XBO_dBaseDBF::ReadRecord(std::int32_t n) {
  if (n < 1 || n > recordCount_) {
    ReReadHeader();
    if (n < 1 || n > recordCount_) Raise(xb_code::BeyondEof, xb_sub::RecordRead, path());
  }
  StatusNotify(xb_status::BeforeRead);
  ReadAt(RecordOffset(n), record_.data(), recordLength_);
  if (encrypted_) TransformBlock(readKey_, record_.data(), record_.data(), recordLength_, false);
  current_ = n;
  StatusNotify(xb_status::AfterRead);
  std::memcpy(unchanged_.data(), record_.data(), recordLength_);
  std::fill(changed_.begin(), changed_.end(), 0);
  recordChanged_ = false;
}

void XBO_dBaseDBF::WriteImage(std::int32_t n, std::uint32_t length) {
  const std::uint8_t* source = record_.data();
  if (encrypted_) {
    TransformBlock(writeKey_, record_.data(), encoded_.data(), recordLength_, true);
    encoded_[recordLength_] = kEndOfFile;
    source = encoded_.data();
  }
  // A record past the end has nothing to lose; one in the file must not be left torn.
  if (n <= recordCount_) {
    ReplaceAt(RecordOffset(n), source, length);
  } else {
    WriteAt(RecordOffset(n), source, length);
  }
}

void XBO_dBaseDBF::AfterWrite(std::int32_t n) {
  current_ = n;
  StatusNotify(xb_status::AfterWrite);
  if (autoFlush_) Flush();
  std::memcpy(unchanged_.data(), record_.data(), recordLength_);
  std::fill(changed_.begin(), changed_.end(), 0);
  recordChanged_ = false;
}

void XBO_dBaseDBF::AppendRecord() {
  HeaderLock headerLock(*this);
  StatusNotify(xb_status::BeforeWrite);
  headerDirty_ = true;
  ReReadHeader();
  record_[0] = kActiveFlag;
  const std::int32_t n = recordCount_ + 1;
  WriteImage(n, recordLength_ + 1);
  recordCount_ = n;
  WriteHeader();
  headerLock.Release();
  AfterWrite(n);
}

void XBO_dBaseDBF::WriteRecord(std::int32_t n) {
  if (n <= 0 || n > recordCount_) {
    AppendRecord();
    return;
  }
  StatusNotify(xb_status::BeforeWrite);
  headerDirty_ = true;
  WriteImage(n, recordLength_);
  current_ = n;
  ReReadHeader();
  WriteHeader();
  AfterWrite(n);
}

void XBO_dBaseDBF::SetRecordDeleted(bool deleted) {
  record_[0] = deleted ? kDeletedFlag : kActiveFlag;
  MarkFieldChanged(0);
}

bool XBO_dBaseDBF::fieldChanged(int n) const {
  return n >= 0 && static_cast<std::size_t>(n) < changed_.size() && changed_[n] != 0;
}

void XBO_dBaseDBF::MarkFieldChanged(int n) {
  if (n >= 0 && static_cast<std::size_t>(n) < changed_.size()) changed_[n] = 1;
  recordChanged_ = true;
}

void XBO_dBaseDBF::MarkAllFieldsChanged() {
  std::fill(changed_.begin(), changed_.end(), 1);
  recordChanged_ = true;
}

}  // namespace tables
