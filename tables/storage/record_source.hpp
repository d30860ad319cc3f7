#pragma once
// What the expression language reads of an open table: its fields and the current record.
// The table implements it; the expression layer wraps it in its table link and hangs that
// link on the table (AttachedLink), so that storage does not depend on the expression layer.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/machine.hpp"

namespace tables {

// Something the upper layers attach to a table and the table owns.
class XbAttachment {
 public:
  virtual ~XbAttachment() = default;
};

class XbRecordSource {
 public:
  virtual ~XbRecordSource() = default;

  virtual int FieldCount() const = 0;
  // Name (upper case, without padding), type letter, length (long C rule applied) and
  // decimals of field n (1-based).
  virtual std::string FieldName(int n) const = 0;
  virtual char FieldType(int n) const = 0;
  virtual int FieldLength(int n) const = 0;
  virtual int FieldDecimals(int n) const = 0;

  // The typed reads of the current record (errors as the table raises them).
  // Raw stored bytes over the full field width, ending early at a zero byte.
  virtual std::string_view FieldRawText(int n) const = 0;
  // Raw stored bytes over the full field width, zero bytes included: what a reader that
  // checks every byte itself reads without the search for a zero byte.
  virtual std::string_view FieldStoredText(int n) const { return FieldRawText(n); }
  virtual double FieldNumber(int n) = 0;
  virtual std::int32_t FieldDate(int n) = 0;  // Julian day; 0 for an empty date
  virtual bool FieldLogical(int n) = 0;
  virtual std::string FieldMemoText(int n) = 0;  // empty when the field has no memo

  virtual std::int32_t CurrentRecordNumber() const = 0;
  virtual bool CurrentRecordDeleted() const = 0;
  // The table file name as the table knows it (normalised).
  virtual std::string TableName() const = 0;
  // The machine the table lives on: its casing, dates and numbers apply to its expressions.
  virtual platform::Machine& SourceMachine() const = 0;

  // The expression link that the expression layer created for this table, if any.
  XbAttachment* AttachedLink() const { return link_.get(); }
  void AttachLink(std::unique_ptr<XbAttachment> link) { link_ = std::move(link); }

 private:
  std::unique_ptr<XbAttachment> link_;
};

}  // namespace tables
