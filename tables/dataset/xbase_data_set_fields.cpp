// TXbaseDataSet: field definitions from the table's descriptors, field values read from and
// written to record buffers, raw field texts and memo streams.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "framework/db/database_messages.hpp"
#include "tables/dataset/xb_blob_stream.hpp"
#include "tables/dataset/xbase_data_set.hpp"

namespace tables {
namespace {

constexpr std::int32_t kTimeEpochDay = 1721425;
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr std::uint8_t kVisualVersion = 0x30;

// The dataset type of a table field; nothing for a type the dataset does not show.
std::optional<db::FieldType> DataSetTypeOf(const XbFieldDesc& desc, std::uint8_t version) {
  switch (desc.type) {
    case 'C':
      return db::FieldType::String;
    case 'N':
    case 'F':
      if (desc.decimals > 0) return db::FieldType::Float;
      if (desc.length < 5) return db::FieldType::SmallInt;
      // Ten digits and more outgrow 32 bits.
      return desc.length < 10 ? db::FieldType::Integer : db::FieldType::LargeInt;
    case 'I':
      return db::FieldType::Integer;
    case 'D':
      return db::FieldType::Date;
    case 'L':
      return db::FieldType::Boolean;
    case 'M':
      return db::FieldType::Memo;
    case 'B':
      // In version 0x30 tables B holds a double, not a memo.
      return version == kVisualVersion ? db::FieldType::Float : db::FieldType::Blob;
    case 'G':
      return db::FieldType::Blob;
    case 'T':
      return db::FieldType::DateTime;
    default:
      return std::nullopt;
  }
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

// "yyyymmdd" read as a date; nothing for blanks, "00000000" or an impossible date.
std::optional<db::TDateTime> StoredDate(std::string_view text) {
  if (text.size() != 8) return std::nullopt;
  int parts[3] = {};
  const std::size_t widths[3] = {4, 2, 2};
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + widths[i], parts[i]);
    if (error != std::errc() || end != first + widths[i]) return std::nullopt;
    at += widths[i];
  }
  const db::CivilDate date{parts[0], parts[1], parts[2]};
  if (!db::IsValidCivilDate(date)) return std::nullopt;
  return db::TDateTime{db::JulianDayOf(date), 0};
}

std::string DateText(const db::TDateTime& value) {
  const db::CivilDate date = db::CivilDateOf(value.julianDay);
  if (!db::IsValidCivilDate(date)) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

db::TDateTime DateTimeOf(double milliseconds) {
  const double days = std::floor(milliseconds / kMillisecondsPerDay);
  return {kTimeEpochDay + static_cast<std::int32_t>(days),
          static_cast<std::int32_t>(milliseconds - days * kMillisecondsPerDay)};
}

double MillisecondsOf(const db::TDateTime& value) {
  return (static_cast<double>(value.julianDay) - kTimeEpochDay) * kMillisecondsPerDay +
         value.milliseconds;
}

}  // namespace

void TXbaseDataSet::InternalInitFieldDefs() {
  tableFieldNumbers_.clear();
  for (const XbFieldDesc& desc : Table().fields()) {
    const std::optional<db::FieldType> type = DataSetTypeOf(desc, table_->version());
    if (!type) continue;
    FieldDefsToFill().Add(desc.name, *type, *type == db::FieldType::String ? desc.length : 0);
    tableFieldNumbers_.push_back(desc.number);
  }
}

const XbFieldDesc& TXbaseDataSet::DescOf(const db::TField& field) const {
  const int number = tableFieldNumbers_.at(static_cast<std::size_t>(field.FieldNo() - 1));
  return *Table().FieldDescByNumber(number);
}

db::OptionalValue TXbaseDataSet::GetFieldData(const db::TField& field,
                                              const db::RecordBuffer& buffer) const {
  const XbFieldDesc& desc = DescOf(field);
  if (field.IsBlob() && HasPendingMemo(field, buffer)) {
    if (pendingMemos_.at(desc.number).empty()) return std::nullopt;
    return db::FieldValue(std::int64_t{-1});
  }
  const TxbDataSetTable::ImageScope reading(*table_, Image(buffer));
  return ReadValue(field, desc);
}

db::OptionalValue TXbaseDataSet::ReadValue(const db::TField& field, const XbFieldDesc& desc) const {
  TxbDataSetTable& table = *table_;
  const int n = desc.number;
  switch (field.DataType()) {
    case db::FieldType::String: {
      std::string text = table.GetFieldDisplay(n);
      if (text.empty()) return std::nullopt;
      return db::FieldValue(std::move(text));
    }
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
      return db::FieldValue(static_cast<std::int64_t>(std::nearbyint(table.GetFieldNumber(n))));
    case db::FieldType::LargeInt: {
      // Read from the text: a double loses digits beyond 15.
      const std::string raw = table.GetFieldText(n);
      const std::string_view text = Trimmed(raw);
      std::int64_t value = 0;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (error == std::errc() && end == text.data() + text.size()) return db::FieldValue(value);
      return db::FieldValue(static_cast<std::int64_t>(std::nearbyint(table.GetFieldNumber(n))));
    }
    case db::FieldType::Float:
      return db::FieldValue(table.GetFieldNumber(n));
    case db::FieldType::Boolean:
      return db::FieldValue(table.GetFieldLogical(n));
    case db::FieldType::Date: {
      const std::optional<db::TDateTime> date = StoredDate(table.GetFieldText(n));
      if (!date) return std::nullopt;
      return db::FieldValue(*date);
    }
    case db::FieldType::DateTime:
      return db::FieldValue(DateTimeOf(table.GetFieldNumber(n)));
    case db::FieldType::Memo:
    case db::FieldType::Blob: {
      const std::uint32_t block = table.MemoBlock(n);
      if (block == 0) return std::nullopt;
      return db::FieldValue(std::int64_t{block});
    }
  }
  return std::nullopt;
}

void TXbaseDataSet::SetFieldData(const db::TField& field, db::RecordBuffer& buffer,
                                 const db::OptionalValue& value) {
  const XbFieldDesc& desc = DescOf(field);
  if (field.IsBlob()) {
    KeepPendingMemo(field, value ? std::get<std::string>(*value) : std::string());
    return;
  }
  const TxbDataSetTable::ImageScope writing(*table_, Image(buffer));
  WriteValue(field, desc, value);
  std::memcpy(Image(buffer), writing.Image(), table_->recordLength());
}

void TXbaseDataSet::WriteValue(const db::TField& field, const XbFieldDesc& desc,
                               const db::OptionalValue& value) {
  TxbDataSetTable& table = *table_;
  const int n = desc.number;
  if (!value) {
    // An I field holds a binary number: blanks would read as one.
    if (desc.type == 'I') {
      table.SetFieldNumber(n, 0);
    } else {
      table.SetFieldText(n, "");
    }
    return;
  }
  switch (field.DataType()) {
    case db::FieldType::String:
      table.SetFieldText(n, std::get<std::string>(*value));
      break;
    case db::FieldType::LargeInt: {
      const std::int64_t number = std::get<std::int64_t>(*value);
      const std::string text = std::to_string(number);
      if (text.size() <= static_cast<std::size_t>(desc.length)) {
        table.SetFieldText(n, text);
      } else {
        table.SetFieldNumber(n, static_cast<double>(number));  // raises "too large"
      }
      break;
    }
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
      table.SetFieldNumber(n, static_cast<double>(std::get<std::int64_t>(*value)));
      break;
    case db::FieldType::Float:
      table.SetFieldNumber(n, std::get<double>(*value));
      break;
    case db::FieldType::DateTime:
      table.SetFieldNumber(n, MillisecondsOf(std::get<db::TDateTime>(*value)));
      break;
    case db::FieldType::Boolean:
      table.SetFieldLogical(n, std::get<bool>(*value));
      break;
    case db::FieldType::Date:
      table.SetFieldText(n, DateText(std::get<db::TDateTime>(*value)));
      break;
    case db::FieldType::Memo:
    case db::FieldType::Blob:
      break;
  }
}

void TXbaseDataSet::GetFieldText(std::string_view fieldName, std::string& text) const {
  CheckActive();
  const TxbDataSetTable::ImageScope reading(*table_, Image(ActiveBuffer()));
  text = table_->GetFieldText(fieldName);
}

void TXbaseDataSet::SetFieldText(std::string_view fieldName, std::string_view text) {
  CheckActive();
  if (State() != db::DataSetState::Edit && State() != db::DataSetState::Insert) {
    Fail(db::messages::kNotEditing);
  }
  db::RecordBuffer& buffer = ActiveBuffer();
  {
    const TxbDataSetTable::ImageScope writing(*table_, Image(buffer));
    table_->SetFieldText(fieldName, text);
    std::memcpy(Image(buffer), writing.Image(), table_->recordLength());
  }
  if (const db::TField* field = FindField(fieldName)) BlobFieldChanged(*field);
}

// --- Memos ---

bool TXbaseDataSet::HasPendingMemo(const db::TField& field, const db::RecordBuffer& buffer) const {
  const db::DataSetState state = State();
  if (state != db::DataSetState::Edit && state != db::DataSetState::Insert) return false;
  return &buffer == &ActiveBuffer() && pendingMemos_.contains(DescOf(field).number);
}

bool TXbaseDataSet::Transliterates(const db::TField& field) const {
  return translateASCII_ && field.DataType() == db::FieldType::Memo;
}

std::string TXbaseDataSet::MemoContents(const db::TField& field) {
  const XbFieldDesc& desc = DescOf(field);
  const db::RecordBuffer& buffer = ActiveBuffer();
  std::string stored;
  if (HasPendingMemo(field, buffer)) {
    stored = pendingMemos_.at(desc.number);
  } else {
    const TxbDataSetTable::ImageScope reading(*table_, Image(buffer));
    stored = table_->GetMemoText(desc.number);
  }
  return Transliterates(field) ? Translate(stored, false) : stored;
}

void TXbaseDataSet::KeepPendingMemo(const db::TField& field, std::string_view contents) {
  pendingMemos_[DescOf(field).number] =
      Transliterates(field) ? Translate(contents, true) : std::string(contents);
  BlobFieldChanged(field);
}

std::unique_ptr<db::TBlobStream> TXbaseDataSet::InternalCreateBlobStream(const db::TField& field,
                                                                         db::BlobStreamMode mode) {
  std::string contents;
  if (mode != db::BlobStreamMode::Write) contents = MemoContents(field);
  return std::make_unique<TXbBlobStream>(*this, field, std::move(contents));
}

}  // namespace tables
