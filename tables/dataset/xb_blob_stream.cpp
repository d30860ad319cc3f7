#include "tables/dataset/xb_blob_stream.hpp"

#include <algorithm>
#include <cstring>

#include "framework/db/database_error.hpp"
#include "framework/db/database_messages.hpp"
#include "tables/dataset/xbase_data_set.hpp"

namespace tables {

TXbBlobStream::TXbBlobStream(TXbaseDataSet& dataSet, const db::TField& field, std::string contents)
    : dataSet_(dataSet), field_(field), contents_(std::move(contents)) {}

TXbBlobStream::~TXbBlobStream() {
  const db::DataSetState state = dataSet_.State();
  if (modified_ && (state == db::DataSetState::Edit || state == db::DataSetState::Insert)) {
    dataSet_.KeepPendingMemo(field_, contents_);
  }
}

std::size_t TXbBlobStream::Read(void* buffer, std::size_t count) {
  if (position_ >= contents_.size()) return 0;
  const std::size_t copied = std::min(count, contents_.size() - position_);
  std::memcpy(buffer, contents_.data() + position_, copied);
  position_ += copied;
  return copied;
}

void TXbBlobStream::Write(const void* buffer, std::size_t count) {
  if (position_ + count > contents_.size()) contents_.resize(position_ + count);
  std::memcpy(contents_.data() + position_, buffer, count);
  position_ += count;
  modified_ = true;
}

std::int64_t TXbBlobStream::Seek(std::int64_t offset, db::SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == db::SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == db::SeekOrigin::End) base = Size();
  if (base + offset < 0) throw db::EDatabaseError("Stream position before its start");
  position_ = static_cast<std::size_t>(base + offset);
  return base + offset;
}

void TXbBlobStream::Commit() {
  const db::DataSetState state = dataSet_.State();
  if (state != db::DataSetState::Edit && state != db::DataSetState::Insert) {
    dataSet_.Fail(db::messages::kNotEditing);
  }
  dataSet_.KeepPendingMemo(field_, contents_);
  modified_ = false;
}

}  // namespace tables
