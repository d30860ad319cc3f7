#include "framework/db/field.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "framework/db/data_set.hpp"
#include "framework/db/database_error.hpp"

namespace db {
namespace {

using platform::EConvertError;
using platform::ERangeError;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

std::string NumberText(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string TextOf(const FieldValue& value, bool withTime) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  if (const auto* number = std::get_if<double>(&value)) return NumberText(*number);
  if (const auto* truth = std::get_if<bool>(&value)) return *truth ? "True" : "False";
  const TDateTime& moment = std::get<TDateTime>(value);
  return FormatDateTime(moment, withTime || moment.milliseconds != 0);
}

std::optional<bool> TruthOfText(std::string_view text) {
  text = Trimmed(text);
  if (text.empty()) return std::nullopt;
  const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(text.front())));
  if (first == 'T' || first == 'Y') return true;
  if (first == 'F' || first == 'N') return false;
  return std::nullopt;
}

std::int64_t RoundedToInteger(double value) {
  const double rounded = std::nearbyint(value);  // halves to even
  if (!(rounded >= -9.2233720368547758e18 && rounded < 9.2233720368547758e18)) {
    throw ERangeError(NumberText(value) + " is beyond the range of a 64-bit integer");
  }
  return static_cast<std::int64_t>(rounded);
}

std::int64_t IntegerOf(const FieldValue& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
  if (const auto* number = std::get_if<double>(&value)) return RoundedToInteger(*number);
  if (const auto* truth = std::get_if<bool>(&value)) return *truth ? 1 : 0;
  if (const auto* text = std::get_if<std::string>(&value)) {
    const std::string_view digits = Trimmed(*text);
    std::int64_t result = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
      throw EConvertError(Quoted(*text) + " is not a valid integer value");
    }
    return result;
  }
  throw EConvertError(Quoted(TextOf(value, false)) + " is not a valid integer value");
}

double FloatOf(const FieldValue& value) {
  if (const auto* number = std::get_if<double>(&value)) return *number;
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return static_cast<double>(*integer);
  if (const auto* truth = std::get_if<bool>(&value)) return *truth ? 1 : 0;
  if (const auto* text = std::get_if<std::string>(&value)) {
    const std::string_view digits = Trimmed(*text);
    double result = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
      throw EConvertError(Quoted(*text) + " is not a valid floating point value");
    }
    return result;
  }
  throw EConvertError(Quoted(TextOf(value, false)) + " is not a valid floating point value");
}

bool BooleanOf(const FieldValue& value) {
  if (const auto* truth = std::get_if<bool>(&value)) return *truth;
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer != 0;
  if (const auto* number = std::get_if<double>(&value)) return *number != 0;
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (const auto truth = TruthOfText(*text)) return *truth;
  }
  throw EConvertError(Quoted(TextOf(value, false)) + " is not a valid boolean value");
}

TDateTime DateTimeOf(const FieldValue& value) {
  if (const auto* moment = std::get_if<TDateTime>(&value)) return *moment;
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (const auto moment = ParseDateTime(Trimmed(*text))) return *moment;
  }
  throw EConvertError(Quoted(TextOf(value, false)) + " is not a valid date and time");
}

std::pair<std::int64_t, std::int64_t> IntegerRange(FieldType type) {
  if (type == FieldType::SmallInt) return {-32768, 32767};
  if (type == FieldType::Integer) {
    return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  }
  return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
}

}  // namespace

TField::TField(TDataSet& dataSet, TFieldDef def, FieldKind kind, int fieldNo)
    : dataSet_(dataSet), def_(std::move(def)), kind_(kind), fieldNo_(fieldNo) {}

bool TField::IsIndexField() const {
  return kind_ == FieldKind::Data && dataSet_.GetIsIndexField(*this);
}

OptionalValue TField::Value() const {
  return dataSet_.FieldValueOf(*this);
}

std::string TField::AsString() const {
  const OptionalValue value = Value();
  return value ? TextOf(*value, def_.type == FieldType::DateTime) : std::string();
}

std::int32_t TField::AsInteger() const {
  const std::int64_t value = AsLargeInt();
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw ERangeError("Field '" + def_.name + "' holds " + std::to_string(value) +
                      ", beyond the range of a 32-bit integer");
  }
  return static_cast<std::int32_t>(value);
}

std::int64_t TField::AsLargeInt() const {
  const OptionalValue value = Value();
  return value ? IntegerOf(*value) : 0;
}

double TField::AsFloat() const {
  const OptionalValue value = Value();
  return value ? FloatOf(*value) : 0;
}

bool TField::AsBoolean() const {
  const OptionalValue value = Value();
  return value && BooleanOf(*value);
}

TDateTime TField::AsDateTime() const {
  const OptionalValue value = Value();
  return value ? DateTimeOf(*value) : TDateTime{};
}

void TField::SetValue(const OptionalValue& value) {
  dataSet_.StoreFieldValue(*this, value ? OptionalValue(Converted(*value)) : std::nullopt);
}

void TField::SetAsString(std::string_view text) {
  const bool textual = def_.type == FieldType::String || IsBlob();
  if (!textual && Trimmed(text).empty()) {
    Clear();
  } else {
    SetValue(FieldValue(std::string(text)));
  }
}

FieldValue TField::Converted(const FieldValue& value) const {
  switch (def_.type) {
    case FieldType::String: {
      std::string text = TextOf(value, false);
      if (def_.size > 0 && text.size() > static_cast<std::size_t>(def_.size)) {
        text.resize(static_cast<std::size_t>(def_.size));
      }
      return text;
    }
    case FieldType::Memo:
    case FieldType::Blob:
      return TextOf(value, false);
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt: {
      const std::int64_t integer = IntegerOf(value);
      const auto [low, high] = IntegerRange(def_.type);
      if (integer < low || integer > high) {
        throw ERangeError(std::to_string(integer) + " is not a valid value for field '" +
                          def_.name + "'. The allowed range is " + std::to_string(low) + " to " +
                          std::to_string(high));
      }
      return integer;
    }
    case FieldType::Float:
      return FloatOf(value);
    case FieldType::Boolean:
      return BooleanOf(value);
    case FieldType::Date:
      return TDateTime{DateTimeOf(value).julianDay, 0};
    case FieldType::DateTime:
      return DateTimeOf(value);
  }
  return value;
}

}  // namespace db
