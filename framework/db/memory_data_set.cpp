#include "framework/db/memory_data_set.hpp"

#include <algorithm>
#include <cctype>

#include "framework/db/database_error.hpp"

namespace db {
namespace {

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

// A text read as a truth value: true when it starts with T or Y.
bool TruthOf(std::string_view text) {
  return !text.empty() && std::string_view("TtYy").find(text.front()) != std::string_view::npos;
}

}  // namespace

MemoryDataSet::MemoryDataSet(std::vector<FieldInfo> fields) : fields_(std::move(fields)) {}

void MemoryDataSet::Open() {
  if (state_ != DataSetState::Inactive) return;
  current_ = 0;
  bof_ = true;
  eof_ = rows_.empty();
  SetState(DataSetState::Browse);
}

void MemoryDataSet::Close() {
  if (state_ == DataSetState::Inactive) return;
  buffer_.clear();
  SetState(DataSetState::Inactive);
}

void MemoryDataSet::First() {
  CheckBrowseMode();
  current_ = 0;
  bof_ = true;
  eof_ = rows_.empty();
  NotifyRecordChanged();
}

void MemoryDataSet::Last() {
  CheckBrowseMode();
  current_ = rows_.empty() ? 0 : rows_.size() - 1;
  eof_ = true;
  bof_ = rows_.empty();
  NotifyRecordChanged();
}

void MemoryDataSet::Next() {
  CheckBrowseMode();
  if (current_ + 1 < rows_.size()) {
    ++current_;
    bof_ = false;
  } else {
    eof_ = true;
  }
  NotifyRecordChanged();
}

void MemoryDataSet::Prior() {
  CheckBrowseMode();
  if (current_ > 0 && !rows_.empty()) {
    --current_;
    eof_ = false;
  } else {
    bof_ = true;
  }
  NotifyRecordChanged();
}

int MemoryDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int>(rows_.size());
}

int MemoryDataSet::RecNo() const {
  CheckActive();
  return state_ == DataSetState::Insert || !CurrentRow() ? 0 : static_cast<int>(current_) + 1;
}

void MemoryDataSet::SetRecNo(int recNo) {
  CheckBrowseMode();
  if (recNo < 1 || recNo > static_cast<int>(rows_.size())) {
    throw EDatabaseError("Record " + std::to_string(recNo) + " not found");
  }
  current_ = static_cast<std::size_t>(recNo - 1);
  bof_ = eof_ = false;
  NotifyRecordChanged();
}

bool MemoryDataSet::Locate(std::string_view field, std::string_view value) {
  CheckBrowseMode();
  const std::size_t column = FieldIndex(field);
  const auto found = std::find_if(rows_.begin(), rows_.end(),
                                  [&](const Row& row) { return SameText(row[column], value); });
  if (found == rows_.end()) return false;
  current_ = static_cast<std::size_t>(found - rows_.begin());
  bof_ = eof_ = false;
  NotifyRecordChanged();
  return true;
}

void MemoryDataSet::Append() {
  CheckBrowseMode();
  buffer_.clear();
  for (const FieldInfo& field : fields_)
    buffer_.push_back(Stored(field, {}));
  SetState(DataSetState::Insert);
  NotifyRecordChanged();
}

void MemoryDataSet::Delete() {
  CheckActive();
  if (state_ == DataSetState::Insert) {
    Cancel();
    return;
  }
  if (!CurrentRow()) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  if (state_ == DataSetState::Edit) SetState(DataSetState::Browse);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(current_));
  if (current_ >= rows_.size() && current_ > 0) --current_;
  eof_ = rows_.empty();
  NotifyRecordChanged();
}

std::optional<FieldInfo> MemoryDataSet::FindField(std::string_view name) const {
  if (state_ == DataSetState::Inactive) return std::nullopt;
  const auto found = std::find_if(fields_.begin(), fields_.end(),
                                  [&](const FieldInfo& f) { return SameText(f.name, name); });
  if (found == fields_.end()) return std::nullopt;
  return *found;
}

std::string MemoryDataSet::FieldText(std::string_view name) const {
  const std::size_t column = FieldIndex(name);
  const bool editing = state_ == DataSetState::Edit || state_ == DataSetState::Insert;
  const Row* row = editing ? &buffer_ : CurrentRow();
  if (!row) return {};
  const std::string& text = (*row)[column];
  if (fields_[column].kind == FieldKind::Logical) return TruthOf(text) ? "True" : "False";
  return text;
}

bool MemoryDataSet::FieldBoolean(std::string_view name) const {
  const std::size_t column = FieldIndex(name);
  const bool editing = state_ == DataSetState::Edit || state_ == DataSetState::Insert;
  const Row* row = editing ? &buffer_ : CurrentRow();
  return row && TruthOf((*row)[column]);
}

void MemoryDataSet::SetFieldText(std::string_view name, std::string_view text) {
  const std::size_t column = FieldIndex(name);
  CheckEditing();
  const FieldInfo& field = fields_[column];
  if (field.readOnly) throw EDatabaseError("Field '" + field.name + "' cannot be modified");
  buffer_[column] = Stored(field, text);
  NotifyRecordChanged();
}

void MemoryDataSet::SetFieldBoolean(std::string_view name, bool value) {
  const std::size_t column = FieldIndex(name);
  const bool logical = fields_[column].kind == FieldKind::Logical;
  SetFieldText(name, logical ? (value ? "T" : "F") : (value ? "True" : "False"));
}

void MemoryDataSet::Edit() {
  CheckActive();
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
  if (rows_.empty()) {
    Append();
    return;
  }
  buffer_ = rows_[current_];
  SetState(DataSetState::Edit);
}

void MemoryDataSet::Post() {
  CheckEditing();
  if (state_ == DataSetState::Edit) {
    rows_[current_] = buffer_;
  } else {
    rows_.push_back(buffer_);
    current_ = rows_.size() - 1;
  }
  bof_ = eof_ = false;
  SetState(DataSetState::Browse);
  NotifyRecordChanged();
}

void MemoryDataSet::Cancel() {
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
  buffer_.clear();
  SetState(DataSetState::Browse);
  NotifyRecordChanged();
}

std::size_t MemoryDataSet::FieldIndex(std::string_view name) const {
  CheckActive();
  const auto found = std::find_if(fields_.begin(), fields_.end(),
                                  [&](const FieldInfo& f) { return SameText(f.name, name); });
  if (found == fields_.end()) throw EDatabaseError("Field '" + std::string(name) + "' not found");
  return static_cast<std::size_t>(found - fields_.begin());
}

void MemoryDataSet::CheckActive() const {
  if (state_ == DataSetState::Inactive) {
    throw EDatabaseError("Cannot perform this operation on a closed dataset");
  }
}

void MemoryDataSet::CheckEditing() const {
  CheckActive();
  if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
    throw EDatabaseError("Dataset not in edit or insert mode");
  }
}

void MemoryDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) Post();
}

void MemoryDataSet::SetState(DataSetState state) {
  if (state == state_) return;
  state_ = state;
  NotifyStateChanged();
}

const MemoryDataSet::Row* MemoryDataSet::CurrentRow() const {
  return current_ < rows_.size() ? &rows_[current_] : nullptr;
}

std::string MemoryDataSet::Stored(const FieldInfo& field, std::string_view text) const {
  if (field.kind == FieldKind::Logical) return TruthOf(text) ? "T" : "F";
  std::string stored(text);
  if (field.kind == FieldKind::Text && field.size > 0 &&
      stored.size() > static_cast<std::size_t>(field.size)) {
    stored.resize(static_cast<std::size_t>(field.size));
  }
  return stored;
}

}  // namespace db
