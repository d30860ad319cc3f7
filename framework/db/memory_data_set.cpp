#include "framework/db/memory_data_set.hpp"

#include <algorithm>
#include <cstring>

#include "framework/db/database_messages.hpp"
#include "framework/db/memory_blob_stream.hpp"

namespace db {
namespace {

constexpr std::size_t kIdSize = sizeof(std::uint32_t);
constexpr std::size_t kDefaultStringSize = 255;

template <typename T>
T Load(const std::vector<std::byte>& image, std::size_t offset) {
  T value;
  std::memcpy(&value, image.data() + offset, sizeof value);
  return value;
}

template <typename T>
void Store(std::vector<std::byte>& image, std::size_t offset, const T& value) {
  std::memcpy(image.data() + offset, &value, sizeof value);
}

}  // namespace

MemoryDataSet::MemoryDataSet(std::vector<TFieldDef> fields, std::string name)
    : TDataSet(std::move(name)), defs_(std::move(fields)) {
  std::size_t offset = 0;
  for (TFieldDef& def : defs_) {
    if (def.type == FieldType::String && def.size <= 0) def.size = kDefaultStringSize;
    offsets_.push_back(offset);
    offset += 1 + PayloadSize(def);
  }
  idOffset_ = offset;
  recordSize_ = offset + kIdSize + 1;
}

MemoryDataSet::~MemoryDataSet() {
  Close();
}

bool MemoryDataSet::BookmarkValid(const TBookmark& bookmark) {
  if (bookmark.size() != kIdSize) return false;
  std::uint32_t id;
  std::memcpy(&id, bookmark.data(), kIdSize);
  return IndexOf(id) >= 0;
}

void MemoryDataSet::InternalOpen() {
  open_ = true;
  cursor_ = -1;
  InitFieldDefsAndFields();
}

void MemoryDataSet::InternalClose() {
  open_ = false;
}

void MemoryDataSet::InternalInitFieldDefs() {
  for (const TFieldDef& def : defs_)
    FieldDefsToFill().Add(def.name, def.type, def.size, def.required);
}

GetResult MemoryDataSet::GetRecord(RecordBuffer& buffer, GetMode mode, bool) {
  const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(rows_.size());
  if (mode == GetMode::Current) {
    if (!Readable(cursor_)) return cursor_ < 0 ? GetResult::Bof : GetResult::Eof;
    buffer.data = rows_[static_cast<std::size_t>(cursor_)];
    return RecordAccepted(buffer) ? GetResult::Ok : GetResult::Error;
  }
  const std::ptrdiff_t step = mode == GetMode::Next ? 1 : -1;
  for (cursor_ = std::clamp<std::ptrdiff_t>(cursor_ + step, -1, end); Readable(cursor_);
       cursor_ += step) {
    buffer.data = rows_[static_cast<std::size_t>(cursor_)];
    if (RecordAccepted(buffer)) return GetResult::Ok;
  }
  return cursor_ < 0 ? GetResult::Bof : GetResult::Eof;
}

void MemoryDataSet::InternalInitRecord(RecordBuffer& buffer) {
  std::fill(buffer.data.begin(), buffer.data.end(), std::byte{0});
}

void MemoryDataSet::InternalSetToRecord(const RecordBuffer& buffer) {
  const std::ptrdiff_t index = IndexOf(IdOf(buffer.data));
  if (index >= 0) cursor_ = index;
}

void MemoryDataSet::InternalGotoBookmark(const TBookmark& bookmark) {
  cursor_ = static_cast<std::ptrdiff_t>(rows_.size());
  if (!BookmarkValid(bookmark)) return;
  std::uint32_t id;
  std::memcpy(&id, bookmark.data(), kIdSize);
  cursor_ = IndexOf(id);
}

TBookmark MemoryDataSet::GetBookmarkData(const RecordBuffer& buffer) const {
  const auto* first = buffer.data.data() + idOffset_;
  return TBookmark(first, first + kIdSize);
}

BookmarkFlag MemoryDataSet::GetBookmarkFlag(const RecordBuffer& buffer) const {
  return static_cast<BookmarkFlag>(buffer.data[idOffset_ + kIdSize]);
}

void MemoryDataSet::SetBookmarkFlag(RecordBuffer& buffer, BookmarkFlag flag) {
  buffer.data[idOffset_ + kIdSize] = static_cast<std::byte>(flag);
}

OptionalValue MemoryDataSet::GetFieldData(const TField& field, const RecordBuffer& buffer) const {
  const std::size_t offset = OffsetOf(field);
  if (buffer.data[offset] == std::byte{0}) return std::nullopt;
  const std::size_t at = offset + 1;
  switch (field.DataType()) {
    case FieldType::String: {
      const auto* first = reinterpret_cast<const char*>(buffer.data.data() + at);
      const auto* last = first + PayloadSize(DefOf(field));
      return FieldValue(std::string(first, std::find(first, last, '\0')));
    }
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
      return FieldValue(Load<std::int64_t>(buffer.data, at));
    case FieldType::Float:
      return FieldValue(Load<double>(buffer.data, at));
    case FieldType::Boolean:
      return FieldValue(buffer.data[at] != std::byte{0});
    case FieldType::Date:
    case FieldType::DateTime:
      return FieldValue(
          TDateTime{Load<std::int32_t>(buffer.data, at), Load<std::int32_t>(buffer.data, at + 4)});
    case FieldType::Memo:
    case FieldType::Blob:
      return FieldValue(std::int64_t{Load<std::uint32_t>(buffer.data, at)});
  }
  return std::nullopt;
}

void MemoryDataSet::SetFieldData(const TField& field, RecordBuffer& buffer,
                                 const OptionalValue& value) {
  const std::size_t offset = OffsetOf(field);
  const std::size_t at = offset + 1;
  const std::size_t size = PayloadSize(DefOf(field));
  std::fill_n(buffer.data.begin() + static_cast<std::ptrdiff_t>(offset), 1 + size, std::byte{0});
  if (!value) return;
  buffer.data[offset] = std::byte{1};
  switch (field.DataType()) {
    case FieldType::String: {
      const std::string& text = std::get<std::string>(*value);
      std::memcpy(buffer.data.data() + at, text.data(), std::min(text.size(), size));
      break;
    }
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
      Store(buffer.data, at, std::get<std::int64_t>(*value));
      break;
    case FieldType::Float:
      Store(buffer.data, at, std::get<double>(*value));
      break;
    case FieldType::Boolean:
      buffer.data[at] = std::byte{std::get<bool>(*value)};
      break;
    case FieldType::Date:
    case FieldType::DateTime: {
      const TDateTime& moment = std::get<TDateTime>(*value);
      Store(buffer.data, at, moment.julianDay);
      Store(buffer.data, at + 4, moment.milliseconds);
      break;
    }
    case FieldType::Memo:
    case FieldType::Blob:
      Store(buffer.data, at, static_cast<std::uint32_t>(std::get<std::int64_t>(*value)));
      break;
  }
}

void MemoryDataSet::InternalPost(RecordBuffer& buffer) {
  if (State() == DataSetState::Edit) {
    const std::ptrdiff_t index = IndexOf(IdOf(buffer.data));
    if (index < 0) Fail(messages::kBookmarkNotFound);
    rows_[static_cast<std::size_t>(index)] = buffer.data;
    cursor_ = index;
    return;
  }
  Store(buffer.data, idOffset_, nextId_++);
  const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(rows_.size());
  const std::ptrdiff_t at = GetBookmarkFlag(buffer) == BookmarkFlag::Eof
                                ? end
                                : std::clamp<std::ptrdiff_t>(cursor_, 0, end);
  SetBookmarkFlag(buffer, BookmarkFlag::Current);
  rows_.insert(rows_.begin() + at, buffer.data);
  cursor_ = at;
}

void MemoryDataSet::InternalDelete(RecordBuffer& buffer) {
  const std::ptrdiff_t index = IndexOf(IdOf(buffer.data));
  if (index < 0) Fail(messages::kBookmarkNotFound);
  rows_.erase(rows_.begin() + index);
  cursor_ = index;
}

int MemoryDataSet::GetRecNo(const RecordBuffer& buffer) const {
  return static_cast<int>(IndexOf(IdOf(buffer.data)) + 1);
}

void MemoryDataSet::InternalSetRecNo(int recNo) {
  if (recNo < 1 || recNo > static_cast<int>(rows_.size())) {
    Fail("Record " + std::to_string(recNo) + " not found");
  }
  cursor_ = recNo - 1;
}

std::unique_ptr<TBlobStream> MemoryDataSet::InternalCreateBlobStream(const TField& field,
                                                                     BlobStreamMode mode) {
  std::string contents;
  const OptionalValue id = GetFieldData(field, ActiveBuffer());
  if (id && mode != BlobStreamMode::Write) {
    contents = blobs_[static_cast<std::size_t>(std::get<std::int64_t>(*id))];
  }
  RecordBuffer* buffer = &ActiveBuffer();
  const TField* target = &field;
  return std::make_unique<TMemoryBlobStream>(
      std::move(contents), [this, buffer, target](const std::string& written) {
        if (State() != DataSetState::Edit && State() != DataSetState::Insert) {
          Fail(messages::kNotEditing);
        }
        OptionalValue stored;
        if (!written.empty()) {
          stored = FieldValue(static_cast<std::int64_t>(blobs_.size()));
          blobs_.push_back(written);
        }
        SetFieldData(*target, *buffer, stored);
        BlobFieldChanged(*target);
      });
}

std::size_t MemoryDataSet::PayloadSize(const TFieldDef& def) {
  switch (def.type) {
    case FieldType::String:
      return static_cast<std::size_t>(def.size);
    case FieldType::Boolean:
      return 1;
    case FieldType::Memo:
    case FieldType::Blob:
      return sizeof(std::uint32_t);
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
    case FieldType::Float:
    case FieldType::Date:
    case FieldType::DateTime:
      break;
  }
  return 8;
}

std::uint32_t MemoryDataSet::IdOf(const Image& image) const {
  return Load<std::uint32_t>(image, idOffset_);
}

std::ptrdiff_t MemoryDataSet::IndexOf(std::uint32_t id) const {
  const auto found =
      std::find_if(rows_.begin(), rows_.end(), [&](const Image& row) { return IdOf(row) == id; });
  return found == rows_.end() ? -1 : found - rows_.begin();
}

bool MemoryDataSet::Readable(std::ptrdiff_t index) const {
  return index >= 0 && index < static_cast<std::ptrdiff_t>(rows_.size());
}

const TFieldDef& MemoryDataSet::DefOf(const TField& field) const {
  return defs_[static_cast<std::size_t>(field.FieldNo() - 1)];
}

std::size_t MemoryDataSet::OffsetOf(const TField& field) const {
  return offsets_[static_cast<std::size_t>(field.FieldNo() - 1)];
}

}  // namespace db
