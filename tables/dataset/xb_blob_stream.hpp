#pragma once
// TXbBlobStream: the memo or blob of one field of a TXbaseDataSet's active record, held whole
// in memory. Opened for reading it starts with the memo's text (converted to ANSI when the
// field transliterates); opened for writing it starts empty. Commit, or destroying a stream
// written to while the dataset edits or inserts, hands the contents to the dataset, which
// stores them when the record is posted (Cancel drops them).
#include <string>

#include "framework/db/blob_stream.hpp"
#include "framework/db/field.hpp"

namespace tables {

class TXbaseDataSet;

class TXbBlobStream : public db::TBlobStream {
 public:
  TXbBlobStream(TXbaseDataSet& dataSet, const db::TField& field, std::string contents);
  ~TXbBlobStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, db::SeekOrigin origin) override;
  std::int64_t Size() const override { return static_cast<std::int64_t>(contents_.size()); }
  // "Dataset not in edit or insert mode" outside edit and insert states.
  void Commit() override;

 private:
  TXbaseDataSet& dataSet_;
  const db::TField& field_;
  std::string contents_;
  std::size_t position_ = 0;
  bool modified_ = false;
};

}  // namespace tables
