#include "tools/xbtool/field_value.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/field_descriptor.hpp"
#include "tools/xbtool/calendar_text.hpp"

namespace tools::xbtool {
namespace {

std::string_view TrimRight(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view Trim(std::string_view text) {
  text = TrimRight(text);
  const auto start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

FieldValue ShortestNumber(double value) {
  if (!std::isfinite(value)) return FieldValue::Null();
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return FieldValue::OfNumber(std::string(buffer, result.ptr));
}

std::string ZeroLiteral(int decimals) {
  return decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
}

// Raises the engine's error for a binary field too narrow for its type.
void RequireWidth(tables::XBO_dBaseFld& table, int n, int width) {
  if (table.FieldLength(n) < width) table.GetFieldNumber(n);
}

FieldValue DecimalField(tables::XBO_dBaseFld& table, int n) {
  const std::string stored = table.GetFieldText(n);
  const std::string_view text = Trim(stored);
  // A blank number field holds 0 (other programs' "null" included), shown with its decimals.
  if (text.empty()) return FieldValue::OfNumber(ZeroLiteral(table.FieldDecimals(n)));
  // Some writers fill a number field with "*" for a missing value.
  if (text.find_first_not_of('*') == std::string_view::npos) return FieldValue::Null();
  if (auto literal = DecimalLiteral(text)) return FieldValue::OfNumber(*literal);
  return ShortestNumber(table.GetFieldNumber(n));
}

FieldValue MemoField(tables::XBO_dBaseFld& table, int n, const TextCodec& codec) {
  if (!table.hasMemo() || table.MemoBlock(n) == 0) return FieldValue::Null();
  return FieldValue::OfText(codec.ToTerminal(table.GetMemoText(n)));
}

FieldValue DateField(tables::XBO_dBaseFld& table, int n) {
  const std::int32_t julian = table.GetFieldDate(n);
  if (julian <= 0) return FieldValue::Null();
  const tables::CalendarDate date = tables::XbDate().Split(julian);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return FieldValue::OfText(text);
}

FieldValue TimeField(tables::XBO_dBaseFld& table, int n, const std::uint8_t* bytes) {
  RequireWidth(table, n, 8);
  const auto time = StoredTimeOf(bytes);
  if (!time) return FieldValue::Null();
  return FieldValue::OfText(TimeText(*time));
}

FieldValue BinaryField(tables::XBO_dBaseFld& table, int n, const TextCodec& codec) {
  const std::uint8_t* bytes = table.recordImage() + table.FieldOffset(n);
  switch (table.FieldType(n)) {
    case 'I':
      RequireWidth(table, n, 4);
      return FieldValue::OfNumber(
          std::to_string(static_cast<std::int32_t>(tables::ReadLE32(bytes))));
    case 'B':
      RequireWidth(table, n, 8);
      return ShortestNumber(tables::ReadLEDouble(bytes));
    case 'Y':
      RequireWidth(table, n, 8);
      return FieldValue::OfText(CurrencyText(static_cast<std::int64_t>(tables::ReadLE64(bytes))));
    case 'T':
      return TimeField(table, n, bytes);
    default:  // M and G
      return MemoField(table, n, codec);
  }
}

}  // namespace

FieldValue ReadFieldValue(tables::XBO_dBaseFld& table, int n, const TextCodec& codec) {
  const char type = table.FieldType(n);
  if (tables::XbIsBinaryField(type, table.version())) return BinaryField(table, n, codec);
  switch (type) {
    case 'N':
    case 'F':
      return DecimalField(table, n);
    case 'D':
      return DateField(table, n);
    case 'L':
      return FieldValue::OfBoolean(table.GetFieldLogical(n));
    case 'M':
    case 'G':
    case 'B':
      return MemoField(table, n, codec);
    default:
      return FieldValue::OfText(codec.ToTerminal(TrimRight(table.GetFieldText(n))));
  }
}

std::string PlainText(const FieldValue& value) {
  if (value.kind == FieldValue::Kind::Boolean) return value.boolean ? "T" : "F";
  return value.text;
}

std::string CurrencyText(std::int64_t scaled) {
  const bool negative = scaled < 0;
  // Unsigned, so that the smallest value has a magnitude too.
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  char fraction[16];
  std::snprintf(fraction, sizeof fraction, "%04u", static_cast<unsigned>(magnitude % 10000));
  return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

std::optional<std::string> DecimalLiteral(std::string_view text) {
  std::string sign;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    if (text.front() == '-') sign = "-";
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  for (std::string_view part : {whole, fraction}) {
    for (char c : part) {
      if (!IsDigit(c)) return std::nullopt;
    }
  }
  while (whole.size() > 1 && whole.front() == '0')
    whole.remove_prefix(1);
  std::string literal = sign + (whole.empty() ? "0" : std::string(whole));
  if (!fraction.empty()) literal += "." + std::string(fraction);
  return literal;
}

}  // namespace tools::xbtool
