#pragma once
// An in-memory table for the link tests: fields with their type letters and widths, records
// held as raw field texts, and typed reads as a table gives them.
#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tables/storage/dbf_date.hpp"
#include "tables/storage/record_source.hpp"

namespace tables::testing {

struct FakeField {
  std::string name;
  char type;
  int length;
  int decimals = 0;
};

struct FakeRecord {
  bool deleted = false;
  std::vector<std::string> values;  // raw field texts, padded to the field width
  std::vector<std::string> memos;   // memo texts by field, for M fields
};

class FakeTable : public XbRecordSource {
 public:
  explicit FakeTable(std::vector<FakeField> fields) : fields_(std::move(fields)) {}

  // Appends a record from unpadded texts; C fields are padded with blanks, others right-aligned.
  void Append(const std::vector<std::string>& texts, bool deleted = false,
              std::vector<std::string> memos = {}) {
    FakeRecord record;
    record.deleted = deleted;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      std::string text = i < texts.size() ? texts[i] : std::string();
      auto width = static_cast<std::size_t>(fields_[i].length);
      if (fields_[i].type == 'C' || fields_[i].type == 'D' || fields_[i].type == 'L') {
        text.resize(width, ' ');
      } else if (text.size() < width) {
        text.insert(0, width - text.size(), ' ');
      }
      record.values.push_back(text);
    }
    memos.resize(fields_.size());
    record.memos = std::move(memos);
    records_.push_back(std::move(record));
  }
  void GoTo(int recordNumber) { current_ = recordNumber; }

  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  std::string FieldName(int n) const override { return Field(n).name; }
  char FieldType(int n) const override { return Field(n).type; }
  int FieldLength(int n) const override { return Field(n).length; }
  int FieldDecimals(int n) const override { return Field(n).decimals; }

  std::string_view FieldRawText(int n) const override {
    const std::string& text = Current().values.at(static_cast<std::size_t>(n - 1));
    return std::string_view(text.c_str());  // ends early at a zero byte
  }
  double FieldNumber(int n) override {
    ++numberReads;
    std::string_view text = FieldRawText(n);
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    double value = 0;
    std::from_chars(text.data() + first, text.data() + text.size(), value);
    return value;
  }
  std::int32_t FieldDate(int n) override {
    return XbDate().FromText(platform::CurrentMachine(), FieldRawText(n));
  }
  bool FieldLogical(int n) override {
    std::string_view text = FieldRawText(n);
    return !text.empty() && std::string_view("TtYyJj").find(text[0]) != std::string_view::npos;
  }
  std::string FieldMemoText(int n) override {
    return Current().memos.at(static_cast<std::size_t>(n - 1));
  }
  std::int32_t CurrentRecordNumber() const override { return current_; }
  bool CurrentRecordDeleted() const override { return Current().deleted; }
  std::string TableName() const override { return "C:\\DATA\\FAKE.DBF"; }
  platform::Machine& SourceMachine() const override { return platform::CurrentMachine(); }

  int numberReads = 0;  // FieldNumber calls so far

 private:
  const FakeField& Field(int n) const { return fields_.at(static_cast<std::size_t>(n - 1)); }
  const FakeRecord& Current() const {
    if (current_ < 1 || current_ > static_cast<int>(records_.size())) {
      throw std::out_of_range("no current record");
    }
    return records_[static_cast<std::size_t>(current_ - 1)];
  }

  std::vector<FakeField> fields_;
  std::vector<FakeRecord> records_;
  int current_ = 1;
};

}  // namespace tables::testing
