#include "tables/index/exp_table_functions.hpp"

#include <string>

#include "platform/machine.hpp"
#include "tables/index/exp_call.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/index/exp_udf_support.hpp"

namespace tables {
namespace {

// At most this many characters of a field name count.
constexpr std::size_t kFieldNameLength = 11;

// The type letter of the field named name (trailing blanks and case ignored), or 'U'.
char FieldTypeLetter(const XbRecordSource& table, std::string name) {
  std::size_t end = name.find_last_not_of(' ');
  name.resize(end == std::string::npos ? 0 : end + 1);
  if (name.size() > kFieldNameLength) name.resize(kFieldNameLength);
  table.SourceMachine().codePages().CharUpper(name.data(), name.size());
  for (int field = 1; field <= table.FieldCount(); ++field) {
    if (table.FieldName(field) == name) return table.FieldType(field);
  }
  return 'U';
}

}  // namespace

bool TxblDBFRecNo::Execute(TxbExpFunction&, TxbExpValue& value, std::uint8_t& type) {
  ReturnNumber(value, type, link_.Table().CurrentRecordNumber());
  return true;
}

bool TxblDBFDeleted::Execute(TxbExpFunction&, TxbExpValue& value, std::uint8_t& type) {
  ReturnBoolean(value, type, link_.Table().CurrentRecordDeleted());
  return true;
}

bool TxblDBFBOF::Execute(TxbExpFunction&, TxbExpValue& value, std::uint8_t& type) {
  ReturnBoolean(value, type, link_.Host().Bof());
  return true;
}

bool TxblDBFEOF::Execute(TxbExpFunction&, TxbExpValue& value, std::uint8_t& type) {
  ReturnBoolean(value, type, link_.Host().Eof());
  return true;
}

bool TxblDBFType::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  char letter = FieldTypeLetter(link_.Table(), TextArgument(call, 0, value));
  value.NewText().assign(1, letter);
  type = xb_type::Text;
  return true;
}

TxblDBFFieldVars::TxblDBFFieldVars(XbRecordSource& table, int field)
    : TxbUserDefFieldVar(table.SourceMachine().codePages(), table.FieldName(field),
                         table.FieldLength(field)),
      table_(table),
      field_(field),
      letter_(table.FieldType(field)) {}

int TxblDBFFieldVars::Kind() const {
  return kKindTableField;
}

bool TxblDBFFieldVars::Value(TxbExpValue& value, std::uint8_t& type) {
  switch (letter_) {
    case 'C':
      value.SetText(table_.FieldRawText(field_));
      type = xb_type::Text;
      break;
    case 'D':
      value.SetNumber(table_.FieldDate(field_));
      type = xb_type::Date;
      break;
    case 'F':
    case 'N':
      value.SetNumber(table_.FieldNumber(field_));
      type = xb_type::Number;
      break;
    case 'L':
      value.SetBoolean(table_.FieldLogical(field_));
      type = xb_type::Boolean;
      break;
    case 'M':
      value.SetText(table_.FieldMemoText(field_));
      type = xb_type::Text;
      break;
    default:
      value.SetText(table_.FieldRawText(field_));
      type = xb_type::Other;
      break;
  }
  return true;
}

}  // namespace tables
