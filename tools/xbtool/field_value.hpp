#pragma once
// The value of one field of the current record as the tool shows and exports it:
// - C and types the tool does not know: the text without trailing blanks;
// - N and F: the stored number (0 when the field is blank, null when it is all "*"),
//   I: the integer;
// - B: the number in version 0x30 tables (null when not finite), elsewhere a memo like M;
// - Y: an exact decimal text with four decimals from the stored 64-bit integer;
// - D: "YYYY-MM-DD", null for the empty date; L: true or false;
// - T: "YYYY-MM-DDTHH:MM:SS.mmm", null only when the stored day number is 0;
// - M and G: the memo text, null when the field holds no block.
// Texts come converted by the codec.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/text_codec.hpp"

namespace tools::xbtool {

struct FieldValue {
  enum class Kind { Null, Text, Number, Boolean };
  Kind kind = Kind::Null;
  std::string text;  // Text: the text; Number: a JSON number literal
  bool boolean = false;

  static FieldValue Null() { return {}; }
  static FieldValue OfText(std::string text) { return {Kind::Text, std::move(text), false}; }
  static FieldValue OfNumber(std::string literal) {
    return {Kind::Number, std::move(literal), false};
  }
  static FieldValue OfBoolean(bool value) { return {Kind::Boolean, {}, value}; }
};

// Field n (1-based) of the table's current record. Stored values the engine cannot read raise
// its errors.
FieldValue ReadFieldValue(tables::XBO_dBaseFld& table, int n, const TextCodec& codec);

// The value as plain text (dump, CSV): null as an empty text, booleans as "T" or "F".
std::string PlainText(const FieldValue& value);

// Helpers shared with the writing side.
// The decimal text of a currency value stored as value x 10000.
std::string CurrencyText(std::int64_t scaled);
// A plain decimal text ("-12.50", ".5", "+7") as a JSON number literal, or nothing when the
// text is not a plain decimal.
std::optional<std::string> DecimalLiteral(std::string_view text);

}  // namespace tools::xbtool
