// TXbaseDataSet: properties, opening and closing, moving, and the record changes.
#include "tables/dataset/xbase_data_set.hpp"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "framework/db/database_messages.hpp"
#include "platform/path_parts.hpp"
#include "tables/dataset/xbase_messages.hpp"
#include "tables/storage/aliases.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

namespace msg = dataset_messages;

constexpr std::string_view kDefaultDirectory = "DEFAULT DIRECTORY";
constexpr std::size_t kFlagOffset = 5;      // from the record number
constexpr std::size_t kBookmarkOffset = 8;  // from the record number

// Forces the handler's UseDeleted for the life of the scope.
class UseDeletedScope {
 public:
  UseDeletedScope(XBO_dBHandler& table, bool on) : table_(table), saved_(table.useDeleted()) {
    table.SetUseDeleted(on);
  }
  ~UseDeletedScope() { table_.SetUseDeleted(saved_); }
  UseDeletedScope(const UseDeletedScope&) = delete;
  UseDeletedScope& operator=(const UseDeletedScope&) = delete;

 private:
  XBO_dBHandler& table_;
  bool saved_;
};

std::string WithoutTrailingBackslash(std::string text) {
  while (text.size() > 1 && text.back() == '\\')
    text.pop_back();
  return text;
}

}  // namespace

TXbaseDataSet::TXbaseDataSet(std::string name)
    : TXbaseDataSet(platform::CurrentMachine(), std::move(name)) {}

TXbaseDataSet::TXbaseDataSet(platform::Machine& machine, std::string name)
    : TDataSet(std::move(name)), machine_(machine) {}

TXbaseDataSet::~TXbaseDataSet() {
  try {
    Close();
  } catch (const std::exception&) {
    // A destructor cannot raise; Close() reports the same failure to callers that ask.
  }
}

// --- Properties ---

void TXbaseDataSet::CheckClosed() const {
  if (Active()) Fail(msg::kPropertyWhileOpen);
}

void TXbaseDataSet::SetAutoFlush(bool on) {
  autoFlush_ = on;
  if (table_) table_->SetAutoFlush(on);
}

void TXbaseDataSet::SetDatabaseName(std::string name) {
  if (name == databaseName_) return;
  CheckClosed();
  databaseName_ = std::move(name);
  if (databaseName_.empty()) return;
  if (machine_.codePages().Upper(databaseName_) == kDefaultDirectory) return;
  if (XbAliases().Directory(databaseName_)) return;
  const std::string directory = WithoutTrailingBackslash(databaseName_);
  XbAliases().Add(directory, directory);
}

void TXbaseDataSet::SetEncryptionKey(std::string key) {
  if (key == encryptionKey_) return;
  CheckClosed();
  encryptionKey_ = std::move(key);
}

void TXbaseDataSet::SetExclusive(bool on) {
  if (on == exclusive_) return;
  CheckClosed();
  exclusive_ = on;
}

void TXbaseDataSet::SetFilterOptions(bool caseInsensitive, bool partialCompare) {
  if (caseInsensitive == filterCaseInsensitive_ && partialCompare == filterPartialCompare_) return;
  filterCaseInsensitive_ = caseInsensitive;
  filterPartialCompare_ = partialCompare;
  if (Active() && Filtered()) FilterChanged();
}

void TXbaseDataSet::SetLockProtocol(TxbLokProtocol protocol) {
  lockProtocol_ = protocol;
  if (table_) table_->SetLockProtocol(protocol);
}

void TXbaseDataSet::SetReadOnly(bool on) {
  readOnly_ = on || (table_ && !table_->writable());
}

void TXbaseDataSet::SetTableName(std::string name) {
  if (name == tableName_) return;
  CheckClosed();
  tableName_ = std::move(name);
  if (!loading_) indexFiles_.clear();
}

void TXbaseDataSet::SetUseDeleted(bool on) {
  useDeleted_ = on;
  if (table_) table_->SetUseDeleted(on);
}

void TXbaseDataSet::SetUserID(std::int32_t id) {
  userId_ = id;
  if (table_) table_->SetUserId(id);
}

// --- Opening and closing ---

std::string TXbaseDataSet::ResolvedDirectory() const {
  if (databaseName_.empty()) return {};
  std::string directory;
  if (machine_.codePages().Upper(databaseName_) == kDefaultDirectory) {
    directory = std::string(platform::PathFolder(machine_.program().ModulePath()));
  } else {
    directory = XbAliases().Directory(databaseName_).value_or(databaseName_);
  }
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return directory;
}

std::string TXbaseDataSet::TablePath() const {
  return ResolvedDirectory() + tableName_;
}

void TXbaseDataSet::InternalOpen() {
  if (tableName_.empty()) Fail(msg::kTableNameMissing);
  if (platform::PathExtension(tableName_).empty()) tableName_ += ".DBF";
  const std::string path = TablePath();
  if (!machine_.files().Exists(path)) Fail(msg::CannotFindFile(path));
  table_ =
      std::make_unique<TxbDataSetTable>(machine_, path, !exclusive_, !readOnly_, encryptionKey_);
  table_->SetAutoFlush(autoFlush_);
  table_->SetUseDeleted(useDeleted_);
  table_->SetReadAhead(false);
  table_->SetLockProtocol(lockProtocol_);
  table_->SetUserId(userId_);
  InstallHooks();
  InitFieldDefsAndFields();
  const std::int32_t position = table_->position();
  table_->BlankRecord();
  blankImage_.assign(table_->recordImage(), table_->recordImage() + table_->recordLength());
  if (position > 0) table_->GoRecord(position);
  pendingMemos_.clear();
  lockedRecord_ = 0;
  InternalFirst();
  ReopenIndexFiles();
  ApplyMasterRange();
}

void TXbaseDataSet::InstallHooks() {
  table_->SetAcceptHook([this] {
    if (!Filtered() || !OnFilterRecord) return true;
    db::RecordBuffer candidate;
    candidate.data.assign(GetRecordSize(), std::byte{0});
    CopyHandlerImage(candidate);
    return RecordAccepted(candidate);
  });
  table_->SetStatusHook([this](int status) {
    if (OnStatus) OnStatus(status, table_->currentRecord(), 0);
  });
  if (OnFormula) table_->SetFormulaHook(OnFormula);
}

void TXbaseDataSet::InternalClose() {
  pendingMemos_.clear();
  lockedRecord_ = 0;
  std::unique_ptr<TxbDataSetTable> table = std::move(table_);
  table->Close();
}

TxbDataSetTable& TXbaseDataSet::Table() const {
  if (!table_) Fail(std::string(msg::kClosedTable) + " " + tableName_);
  return *table_;
}

void TXbaseDataSet::CheckActive() const {
  if (!Active()) Fail(std::string(msg::kClosedTable) + " " + tableName_);
  if (buildingIndex_) Fail(msg::kBusyBuilding);
}

bool TXbaseDataSet::GetCanModify() const {
  return !readOnly_ && table_ && table_->writable();
}

// --- Buffers and bookmarks ---

std::size_t TXbaseDataSet::GetRecordSize() const {
  return Table().recordLength() + kBookmarkOffset + kBookmarkSize;
}

std::uint8_t* TXbaseDataSet::Image(db::RecordBuffer& buffer) const {
  return reinterpret_cast<std::uint8_t*>(buffer.data.data());
}

const std::uint8_t* TXbaseDataSet::Image(const db::RecordBuffer& buffer) const {
  return reinterpret_cast<const std::uint8_t*>(buffer.data.data());
}

void TXbaseDataSet::StoreRecordNumber(db::RecordBuffer& buffer, std::int32_t recNo) const {
  std::uint8_t* at = Image(buffer) + Table().recordLength();
  std::memcpy(at, &recNo, sizeof recNo);
  char bookmark[kBookmarkSize + 1];
  std::snprintf(bookmark, sizeof bookmark, "%10d", recNo);
  std::memcpy(at + kBookmarkOffset, bookmark, kBookmarkSize);
}

std::int32_t TXbaseDataSet::RecordNumberOf(const db::RecordBuffer& buffer) const {
  std::int32_t recNo = 0;
  std::memcpy(&recNo, Image(buffer) + Table().recordLength(), sizeof recNo);
  return recNo;
}

void TXbaseDataSet::CopyHandlerImage(db::RecordBuffer& buffer) const {
  std::memcpy(Image(buffer), table_->recordImage(), table_->recordLength());
  StoreRecordNumber(buffer, table_->position());
}

db::TBookmark TXbaseDataSet::GetBookmarkData(const db::RecordBuffer& buffer) const {
  const auto* first = buffer.data.data() + Table().recordLength() + kBookmarkOffset;
  return db::TBookmark(first, first + kBookmarkSize);
}

db::BookmarkFlag TXbaseDataSet::GetBookmarkFlag(const db::RecordBuffer& buffer) const {
  return static_cast<db::BookmarkFlag>(buffer.data[Table().recordLength() + kFlagOffset]);
}

void TXbaseDataSet::SetBookmarkFlag(db::RecordBuffer& buffer, db::BookmarkFlag flag) {
  buffer.data[Table().recordLength() + kFlagOffset] = static_cast<std::byte>(flag);
}

namespace {

// The record number a bookmark holds; 0 when it holds none.
std::int32_t BookmarkRecord(const db::TBookmark& bookmark) {
  if (bookmark.size() != TXbaseDataSet::kBookmarkSize) return 0;
  const char* first = reinterpret_cast<const char*>(bookmark.data());
  const char* last = first + TXbaseDataSet::kBookmarkSize - 1;
  while (first < last && *first == ' ')
    ++first;
  std::int32_t recNo = 0;
  const auto [end, error] = std::from_chars(first, last, recNo);
  return error == std::errc() && end == last ? recNo : 0;
}

}  // namespace

bool TXbaseDataSet::BookmarkValid(const db::TBookmark& bookmark) {
  const std::int32_t recNo = BookmarkRecord(bookmark);
  return table_ && recNo >= 1 && recNo <= table_->recordCount();
}

void TXbaseDataSet::InternalGotoBookmark(const db::TBookmark& bookmark) {
  const std::int32_t recNo = BookmarkRecord(bookmark);
  if (recNo < 1 || recNo > Table().recordCount()) Fail(db::messages::kBookmarkNotFound);
  table_->GoRecord(recNo);
}

void TXbaseDataSet::InternalInitRecord(db::RecordBuffer& buffer) {
  std::fill(buffer.data.begin(), buffer.data.end(), std::byte{0});
  std::memcpy(Image(buffer), blankImage_.data(), blankImage_.size());
  pendingMemos_.clear();
}

// --- Moving ---

void TXbaseDataSet::InternalFirst() {
  firstPending_ = true;
  lastPending_ = false;
}

void TXbaseDataSet::InternalLast() {
  lastPending_ = true;
  firstPending_ = false;
}

db::GetResult TXbaseDataSet::GetRecord(db::RecordBuffer& buffer, db::GetMode mode, bool) {
  const bool first = std::exchange(firstPending_, false);
  const bool last = std::exchange(lastPending_, false);
  TxbDataSetTable& table = Table();
  try {
    switch (mode) {
      case db::GetMode::Next:
        if (last) return db::GetResult::Eof;
        table.GoRecord(first ? xb_move::First : xb_move::Next);
        break;
      case db::GetMode::Prior:
        if (first) return db::GetResult::Bof;
        table.GoRecord(last ? xb_move::Last : xb_move::Previous);
        break;
      case db::GetMode::Current:
        table.GoRecord(xb_move::Reread);
        break;
    }
  } catch (const EXbaseError&) {
    return db::GetResult::Error;
  }
  if (table.eof()) return db::GetResult::Eof;
  if (table.bof()) return db::GetResult::Bof;
  CopyHandlerImage(buffer);
  return db::GetResult::Ok;
}

void TXbaseDataSet::InternalSetToRecord(const db::RecordBuffer& buffer) {
  const std::int32_t recNo = RecordNumberOf(buffer);
  if (recNo >= 1 && recNo <= Table().recordCount()) table_->GoRecord(recNo);
}

int TXbaseDataSet::GetRecNo(const db::RecordBuffer& buffer) const {
  return RecordNumberOf(buffer);
}

void TXbaseDataSet::InternalSetRecNo(int recNo) {
  if (recNo < 1 || recNo > Table().recordCount()) Fail(db::messages::kRecordBeyondRange);
  table_->GoRecord(recNo);
}

int TXbaseDataSet::GetRecordCount() const {
  TxbDataSetTable& table = Table();
  if (!exactCount_) return table.recordCount();
  const std::int32_t position = table.position();
  int count = 0;
  for (table.GoRecord(xb_move::First); !table.eof(); table.GoRecord(xb_move::Next))
    ++count;
  if (position >= 1 && position <= table.recordCount()) table.GoRecord(position);
  return count;
}

bool TXbaseDataSet::IsSequenced() const {
  return (!table_ || !table_->currentTag()) && !Filtered();
}

// --- Record changes ---

void TXbaseDataSet::LockForChange(std::int32_t recNo) {
  TxbDataSetTable& table = Table();
  if (!table.LockRecord(recNo)) Fail(msg::kRecordLocked);
  try {
    table.GoRecord(recNo);
  } catch (...) {
    table.Unlock();
    throw;
  }
}

void TXbaseDataSet::ReleaseRecordLock() {
  if (lockedRecord_ == 0) return;
  lockedRecord_ = 0;
  table_->Unlock();
}

void TXbaseDataSet::InternalEdit(db::RecordBuffer& buffer) {
  const std::int32_t recNo = RecordNumberOf(buffer);
  LockForChange(recNo);
  lockedRecord_ = recNo;
  pendingMemos_.clear();
  CopyHandlerImage(buffer);
}

void TXbaseDataSet::InternalPost(db::RecordBuffer& buffer) {
  TxbDataSetTable& table = Table();
  if (State() == db::DataSetState::Edit) {
    const std::int32_t recNo = RecordNumberOf(buffer);
    table.TakeEditedImage(recNo, Image(buffer));
    WritePendingMemos();
    table.PutRecord(recNo);
    ReleaseRecordLock();
  } else {
    table.TakeNewImage(Image(buffer));
    WritePendingMemos();
    table.AppendRecord();
  }
  pendingMemos_.clear();
  CopyHandlerImage(buffer);
  SetBookmarkFlag(buffer, db::BookmarkFlag::Current);
}

void TXbaseDataSet::WritePendingMemos() {
  for (const auto& [fieldNo, contents] : pendingMemos_)
    table_->SetMemoText(fieldNo, contents);
}

void TXbaseDataSet::InternalCancel(db::RecordBuffer&) {
  pendingMemos_.clear();
  if (table_) ReleaseRecordLock();
}

void TXbaseDataSet::ChangeDeletionFlag(const db::RecordBuffer& buffer, bool deleted) {
  TxbDataSetTable& table = Table();
  const std::int32_t recNo = RecordNumberOf(buffer);
  LockForChange(recNo);
  try {
    const UseDeletedScope showDeleted(table, true);
    if (deleted) {
      table.DeleteRecord();
    } else {
      table.RecallRecord();
    }
  } catch (const platform::Exception&) {
    table.Unlock();
    Fail(deleted ? msg::kCannotDelete : msg::kCannotRecall);
  }
  table.Unlock();
}

void TXbaseDataSet::InternalDelete(db::RecordBuffer& buffer) {
  ChangeDeletionFlag(buffer, true);
}

void TXbaseDataSet::RecallRecord() {
  CheckActive();
  CheckBrowseMode();
  if (IsEmpty()) Fail(db::messages::kEmpty);
  if (!CanModify()) Fail(db::messages::kReadOnly);
  const std::int32_t recNo = RecNo();
  MoveCursor([&] {
    db::RecordBuffer buffer;
    buffer.data.assign(GetRecordSize(), std::byte{0});
    StoreRecordNumber(buffer, recNo);
    ChangeDeletionFlag(buffer, false);
  });
}

void TXbaseDataSet::FilterChanged() {
  TxbDataSetTable& table = Table();
  const bool on = Filtered() && !Filter().empty();
  if (on) table.BuildFilter(Filter(), filterCaseInsensitive_, filterPartialCompare_);
  table.EnableFilter(on);
  First();
}

std::string TXbaseDataSet::Translate(std::string_view text, bool toStored) const {
  std::string result(text);
  if (!translateASCII_ || result.empty()) return result;
  if (toStored) {
    machine_.codePages().CharToOem(result.data(), result.data(), result.size());
  } else {
    machine_.codePages().OemToChar(result.data(), result.data(), result.size());
  }
  return result;
}

}  // namespace tables
