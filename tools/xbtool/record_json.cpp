#include "tools/xbtool/record_json.hpp"

#include <nlohmann/json.hpp>

#include "tools/xbtool/field_value.hpp"
#include "tools/xbtool/json_output.hpp"

namespace tools::xbtool {
namespace {

Json JsonValue(const FieldValue& value) {
  switch (value.kind) {
    case FieldValue::Kind::Text:
      return value.text;
    case FieldValue::Kind::Boolean:
      return value.boolean;
    default:
      return nullptr;
  }
}

}  // namespace

std::string RecordJson(const VerbContext& context, tables::XBO_dBaseFld& table) {
  JsonObjectLine record;
  record.Add("_recno", table.currentRecord()).Add("_deleted", table.RecordDeleted());
  for (int n = 1; n <= table.FieldCount(); ++n) {
    const std::string name = context.codec.ToTerminal(table.FieldName(n));
    const FieldValue value = ReadFieldValue(table, n, context.codec);
    if (value.kind == FieldValue::Kind::Number) {
      record.AddNumber(name, value.text);
    } else {
      record.Add(name, JsonValue(value));
    }
  }
  return record.Text();
}

}  // namespace tools::xbtool
