#pragma once
// MemoryDataSet: a dataset whose records live in memory, built on the dataset base alone. Each
// record is a byte image like a table record (per field a null flag and the value, then the
// record's id and bookmark flag); bookmarks are record ids and stay valid across inserts and
// deletes. Memo and blob contents sit in a store of their own. The records survive Close, so
// the dataset can be reopened. For tests, demos and forms that need a dataset before a table
// is at hand.
//
//   db::MemoryDataSet users({{"UserName", db::FieldType::String, 10},
//                            {"Porn", db::FieldType::Boolean}});
//   users.Open();
//   users.Append();
//   users.FieldByName("UserName").SetAsString("PARENT");
//   users.Post();
#include <cstdint>
#include <string>
#include <vector>

#include "framework/db/data_set.hpp"

namespace db {

class MemoryDataSet : public TDataSet {
 public:
  explicit MemoryDataSet(std::vector<TFieldDef> fields, std::string name = {});
  ~MemoryDataSet() override;

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool BookmarkValid(const TBookmark& bookmark) override;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return open_; }
  void InternalInitFieldDefs() override;
  void InternalFirst() override { cursor_ = -1; }
  void InternalLast() override { cursor_ = static_cast<std::ptrdiff_t>(rows_.size()); }
  GetResult GetRecord(RecordBuffer& buffer, GetMode mode, bool doCheck) override;
  std::size_t GetRecordSize() const override { return recordSize_; }
  void InternalInitRecord(RecordBuffer& buffer) override;
  void InternalSetToRecord(const RecordBuffer& buffer) override;
  void InternalGotoBookmark(const TBookmark& bookmark) override;
  TBookmark GetBookmarkData(const RecordBuffer& buffer) const override;
  BookmarkFlag GetBookmarkFlag(const RecordBuffer& buffer) const override;
  void SetBookmarkFlag(RecordBuffer& buffer, BookmarkFlag flag) override;
  OptionalValue GetFieldData(const TField& field, const RecordBuffer& buffer) const override;
  void SetFieldData(const TField& field, RecordBuffer& buffer, const OptionalValue& value) override;
  void InternalPost(RecordBuffer& buffer) override;
  void InternalDelete(RecordBuffer& buffer) override;
  int GetRecordCount() const override { return static_cast<int>(rows_.size()); }
  int GetRecNo(const RecordBuffer& buffer) const override;
  void InternalSetRecNo(int recNo) override;
  bool GetCanModify() const override { return !readOnly_; }
  std::unique_ptr<TBlobStream> InternalCreateBlobStream(const TField& field,
                                                        BlobStreamMode mode) override;

 private:
  using Image = std::vector<std::byte>;
  static std::size_t PayloadSize(const TFieldDef& def);
  std::uint32_t IdOf(const Image& image) const;
  std::ptrdiff_t IndexOf(std::uint32_t id) const;
  bool Readable(std::ptrdiff_t index) const;
  const TFieldDef& DefOf(const TField& field) const;
  std::size_t OffsetOf(const TField& field) const;

  std::vector<TFieldDef> defs_;
  std::vector<std::size_t> offsets_;  // of each field's null flag in the image
  std::size_t idOffset_ = 0;
  std::size_t recordSize_ = 0;
  std::vector<Image> rows_;
  std::vector<std::string> blobs_;
  std::uint32_t nextId_ = 1;
  std::ptrdiff_t cursor_ = -1;  // -1 before the first row, rows_.size() after the last
  bool open_ = false;
  bool readOnly_ = false;
};

}  // namespace db
