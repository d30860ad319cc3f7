#pragma once
// TXbaseDataSet: the dataset over one xBase table. It opens the table through its own handler
// (TxbDataSetTable) in the directory DatabaseName names (a directory, an alias of "xbase.cfg"
// or "Default Directory", the program's folder), builds one field per table field, moves in
// natural order or in the order of a tag of its index files, locks a record while it is
// edited, keeps memo contents written through blob streams until Post, and restricts its
// records to a master dataset's current values through the current tag.
//
//   tables::TXbaseDataSet users("UsersDB");
//   users.SetTableName("C:\\WINDOWS\\SYSTEM\\KVUS.dat");
//   users.SetEncryptionKey(key);
//   users.Open();
//   users.OpenIndexes("\"C:\\WINDOWS\\SYSTEM\\KVUS.cdx\"", "UserName");
//   if (users.SeekKey("PARENT", true, false)) users.Edit();
//
// Record buffer layout: the record image as in the file, then the record number (4 bytes),
// at +5 from it the bookmark flag, at +8 the bookmark (the record number as decimal text
// right-aligned in 10 characters and a zero).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/db/data_set.hpp"
#include "framework/db/data_source.hpp"
#include "platform/machine.hpp"
#include "tables/dataset/dataset_table.hpp"
#include "tables/dataset/master_link.hpp"
#include "tables/storage/lock_protocol.hpp"

namespace tables {

// Status reports: of the table (the notification, the record number, 0) and of tag builds
// (the phase, the event as XbBuildStatus::Event, the record count, record or key ordinal).
using TxbStatusReport = std::function<void(int stat1, int stat2, int stat3)>;

class TXbaseDataSet : public db::TDataSet {
 public:
  static constexpr std::string_view kAbout = "Xbase Engine Version 1.0";
  static constexpr std::size_t kBookmarkSize = 11;

  explicit TXbaseDataSet(std::string name = {});
  TXbaseDataSet(platform::Machine& machine, std::string name);
  ~TXbaseDataSet() override;

  // Published properties.
  std::string About() const { return std::string(kAbout); }
  void SetAbout(std::string_view) {}
  bool AutoFlush() const { return autoFlush_; }
  void SetAutoFlush(bool on);
  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(std::string name);
  const std::string& EncryptionKey() const { return encryptionKey_; }
  void SetEncryptionKey(std::string key);  // closed only
  bool ExactCount() const { return exactCount_; }
  void SetExactCount(bool on) { exactCount_ = on; }
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool on);  // closed only
  bool FilterCaseInsensitive() const { return filterCaseInsensitive_; }
  bool FilterPartialCompare() const { return filterPartialCompare_; }
  void SetFilterOptions(bool caseInsensitive, bool partialCompare);
  const std::vector<std::string>& IndexFiles() const { return indexFiles_; }
  void SetIndexFiles(std::vector<std::string> files);
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(std::string name);
  TxbLokProtocol LockProtocol() const { return lockProtocol_; }
  void SetLockProtocol(TxbLokProtocol protocol);
  const std::string& MasterFields() const { return masterFields_; }
  void SetMasterFields(std::string fields);
  db::TDataSource* MasterSource() const { return masterSource_; }
  void SetMasterSource(db::TDataSource* source);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  const std::string& TableName() const { return tableName_; }
  void SetTableName(std::string name);  // closed only
  bool TranslateASCII() const { return translateASCII_; }
  void SetTranslateASCII(bool on) { translateASCII_ = on; }
  bool UseDeleted() const { return useDeleted_; }
  void SetUseDeleted(bool on);
  std::int32_t UserID() const { return userId_; }
  void SetUserID(std::int32_t id);
  // While the component is read from its form's resource, a new TableName keeps IndexFiles.
  void SetLoading(bool loading) { loading_ = loading; }

  // Hooks: the expression functions the dataset defines (taken when the table opens), and
  // status reports.
  TxbFormulaMake OnFormula;
  TxbStatusReport OnStatus;

  // Key search through the current tag; see the class comment of the handler's Seek.
  bool SeekKey(std::string_view key, bool exact, bool near);
  // Splits fileList at blanks, commas and semicolons outside double quotes, opens those files
  // and selects tagName.
  void OpenIndexes(std::string_view fileList, std::string_view tagName);
  void CreateIndexTag(std::string_view fileName, std::string_view tagName, std::string_view keyExpr,
                      std::string_view forExpr, bool duplicates, int option);
  // The raw text of a field of the active record by name; writing needs edit or insert state.
  void GetFieldText(std::string_view fieldName, std::string& text) const;
  void SetFieldText(std::string_view fieldName, std::string_view text);
  // Marks the current record as not deleted (the counterpart of Delete while UseDeleted shows
  // deleted records).
  void RecallRecord();
  bool IsSequenced() const;
  bool BookmarkValid(const db::TBookmark& bookmark) override;
  // The path of the open table file (or the one Open would use).
  std::string TablePath() const;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return table_ != nullptr; }
  void InternalInitFieldDefs() override;
  void InternalFirst() override;
  void InternalLast() override;
  db::GetResult GetRecord(db::RecordBuffer& buffer, db::GetMode mode, bool doCheck) override;
  std::size_t GetRecordSize() const override;
  void InternalInitRecord(db::RecordBuffer& buffer) override;
  void InternalSetToRecord(const db::RecordBuffer& buffer) override;
  void InternalGotoBookmark(const db::TBookmark& bookmark) override;
  db::TBookmark GetBookmarkData(const db::RecordBuffer& buffer) const override;
  db::BookmarkFlag GetBookmarkFlag(const db::RecordBuffer& buffer) const override;
  void SetBookmarkFlag(db::RecordBuffer& buffer, db::BookmarkFlag flag) override;
  db::OptionalValue GetFieldData(const db::TField& field,
                                 const db::RecordBuffer& buffer) const override;
  void SetFieldData(const db::TField& field, db::RecordBuffer& buffer,
                    const db::OptionalValue& value) override;
  void InternalEdit(db::RecordBuffer& buffer) override;
  void InternalPost(db::RecordBuffer& buffer) override;
  void InternalCancel(db::RecordBuffer& buffer) override;
  void InternalDelete(db::RecordBuffer& buffer) override;
  int GetRecordCount() const override;
  int GetRecNo(const db::RecordBuffer& buffer) const override;
  void InternalSetRecNo(int recNo) override;
  bool GetCanModify() const override;
  std::unique_ptr<db::TBlobStream> InternalCreateBlobStream(const db::TField& field,
                                                            db::BlobStreamMode mode) override;
  void FilterChanged() override;
  std::string Translate(std::string_view text, bool toStored) const override;
  void UpdateIndexDefs() override;
  bool GetIsIndexField(const db::TField& field) const override;
  void CheckActive() const override;

 private:
  friend class TXbBlobStream;

  // Directory of DatabaseName with a trailing "\", or empty for none.
  std::string ResolvedDirectory() const;
  TxbDataSetTable& Table() const;
  void CheckClosed() const;
  void InstallHooks();
  std::uint8_t* Image(db::RecordBuffer& buffer) const;
  const std::uint8_t* Image(const db::RecordBuffer& buffer) const;
  void StoreRecordNumber(db::RecordBuffer& buffer, std::int32_t recNo) const;
  std::int32_t RecordNumberOf(const db::RecordBuffer& buffer) const;
  void CopyHandlerImage(db::RecordBuffer& buffer) const;
  void LockForChange(std::int32_t recNo);
  void ChangeDeletionFlag(const db::RecordBuffer& buffer, bool deleted);
  void WritePendingMemos();
  // Has the handler filter by the Filter text while Filtered.
  void ApplyFilter();
  void ReleaseRecordLock();

  // Fields.
  const XbFieldDesc& DescOf(const db::TField& field) const;
  db::OptionalValue ReadValue(const db::TField& field, const XbFieldDesc& desc) const;
  void WriteValue(const db::TField& field, const XbFieldDesc& desc, const db::OptionalValue& value);
  bool HasPendingMemo(const db::TField& field, const db::RecordBuffer& buffer) const;
  bool Transliterates(const db::TField& field) const;
  // The memo of the active record as the field shows it (a pending one first).
  std::string MemoContents(const db::TField& field);
  // Keeps contents (as shown) for the field of the record being edited until Post.
  void KeepPendingMemo(const db::TField& field, std::string_view contents);

  // Indexes.
  void ReopenIndexFiles();
  // Passes the build reports of file to OnStatus.
  void ReportBuildsOf(XBobjIndexFile& file);
  void SelectIndex();
  std::vector<std::string> KeyFieldNames() const;
  void ApplyMasterRange();
  std::string MasterKey(const std::vector<std::string>& detailFields);
  void MasterChanged();

  platform::Machine& machine_;
  std::unique_ptr<TxbDataSetTable> table_;
  std::vector<std::uint8_t> blankImage_;
  std::vector<int> tableFieldNumbers_;       // of each field definition
  std::map<int, std::string> pendingMemos_;  // field number -> contents, stored at Post
  std::int32_t lockedRecord_ = 0;
  bool firstPending_ = false;
  bool lastPending_ = false;
  bool buildingIndex_ = false;
  bool loading_ = false;

  bool autoFlush_ = false;
  std::string databaseName_;
  std::string encryptionKey_;
  bool exactCount_ = false;
  bool exclusive_ = false;
  bool filterCaseInsensitive_ = false;
  bool filterPartialCompare_ = true;
  std::vector<std::string> indexFiles_;
  std::string indexName_;
  TxbLokProtocol lockProtocol_ = TxbLokProtocol::Default;
  std::string masterFields_;
  db::TDataSource* masterSource_ = nullptr;
  std::unique_ptr<TxbMasterLink> masterLink_;
  bool readOnly_ = false;
  std::string tableName_;
  bool translateASCII_ = true;
  bool useDeleted_ = false;
  std::int32_t userId_ = 0;
};

}  // namespace tables
