#include "tools/xbtool/field_assignment.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "tables/storage/byte_order.hpp"
#include "tables/storage/field_descriptor.hpp"
#include "tools/xbtool/calendar_text.hpp"
#include "tools/xbtool/field_value.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

constexpr int kCurrencyDecimals = 4;

class FieldWriter {
 public:
  FieldWriter(tables::XBO_dBaseFld& table, int n, std::string_view value, const TextCodec& codec)
      : table_(table), n_(n), value_(value), codec_(codec) {}

  void Store() {
    const char type = table_.FieldType(n_);
    if (tables::XbIsBinaryField(type, table_.version())) return StoreBinary(type);
    switch (type) {
      case 'N':
      case 'F':
        return StoreDecimal();
      case 'D':
        return StoreDate();
      case 'L':
        return value_.empty() ? table_.SetFieldText(n_, "")
                              : table_.SetFieldLogicalText(n_, value_);
      case 'M':
      case 'G':
      case 'B':
        return StoreMemo();
      default:
        return StoreText();
    }
  }

 private:
  void StoreBinary(char type) {
    switch (type) {
      case 'I':
        return table_.SetFieldNumber(n_, ParseInteger());
      case 'B':
        return table_.SetFieldNumber(n_, ParseDouble());
      case 'Y':
        return StoreCurrency();
      case 'T':
        return StoreDateTime();
      default:  // M and G
        return StoreMemo();
    }
  }

  [[noreturn]] void Refuse(const std::string& why) const {
    throw ToolError(table_.FieldName(n_) + ": \"" + std::string(value_) + "\" " + why);
  }

  std::uint8_t* Bytes() { return table_.recordImage() + table_.FieldOffset(n_); }

  void RequireWidth(int width) const {
    if (table_.FieldLength(n_) < width) Refuse("cannot be stored: the field is too narrow");
  }

  void StoreText() {
    const std::string text = codec_.ToTable(value_);
    if (text.size() > static_cast<std::size_t>(table_.FieldLength(n_))) {
      Refuse("is " + std::to_string(text.size()) + " characters long; the field holds " +
             std::to_string(table_.FieldLength(n_)));
    }
    table_.SetFieldText(n_, text);
  }

  // Decimals the field cannot hold would be rounded away: refused instead.
  void RequireDecimals(std::string_view literal, int decimals) const {
    const auto point = literal.find('.');
    if (point == std::string_view::npos) return;
    std::string_view fraction = literal.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0')
      fraction.remove_suffix(1);
    if (fraction.size() > static_cast<std::size_t>(decimals)) {
      Refuse("has more decimals than the field's " + std::to_string(decimals));
    }
  }

  // The digits as given, padded to the field's decimals, so that no digit is lost to a
  // double; a text too long for the field goes through the engine for its error.
  void StoreDecimal() {
    if (value_.empty()) return table_.SetFieldText(n_, "");
    const auto literal = DecimalLiteral(value_);
    if (!literal) Refuse("is not a decimal number");
    const int decimals = table_.FieldDecimals(n_);
    RequireDecimals(*literal, decimals);
    const std::string text = FixedText(*literal, decimals);
    if (text.size() <= static_cast<std::size_t>(table_.FieldLength(n_))) {
      return table_.SetFieldText(n_, text);
    }
    double number = 0;
    std::from_chars(literal->data(), literal->data() + literal->size(), number);
    table_.SetFieldNumber(n_, number);
  }

  // literal with exactly `decimals` decimals (it has no more significant ones); no sign on 0.
  static std::string FixedText(std::string_view literal, int decimals) {
    const bool negative = literal.front() == '-';
    if (negative) literal.remove_prefix(1);
    const auto point = literal.find('.');
    std::string text(literal.substr(0, point));
    std::string fraction(point == std::string_view::npos ? "" : literal.substr(point + 1));
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    if (decimals > 0) text += "." + fraction;
    const bool zero = text.find_first_of("123456789") == std::string::npos;
    return negative && !zero ? "-" + text : text;
  }

  void StoreDate() {
    if (value_.empty()) return table_.SetFieldText(n_, "");
    const auto day = ParseDateText(value_);
    if (!day) Refuse("is not a date (give yyyymmdd or YYYY-MM-DD)");
    table_.SetFieldDate(n_, *day);
  }

  double ParseInteger() const {
    if (value_.empty()) return 0;
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(value_.data(), value_.data() + value_.size(), number);
    if (error != std::errc() || end != value_.data() + value_.size()) {
      Refuse("is not a whole number from -2147483648 to 2147483647");
    }
    return number;
  }

  double ParseDouble() const {
    if (value_.empty()) return 0;
    double number = 0;
    const auto [end, error] = std::from_chars(value_.data(), value_.data() + value_.size(), number);
    if (error != std::errc() || end != value_.data() + value_.size() || !std::isfinite(number)) {
      Refuse("is not a number");
    }
    return number;
  }

  void StoreCurrency() {
    RequireWidth(8);
    std::int64_t scaled = 0;
    if (!value_.empty()) {
      const auto literal = DecimalLiteral(value_);
      if (!literal) Refuse("is not a decimal number");
      RequireDecimals(*literal, kCurrencyDecimals);
      scaled = ScaledCurrency(*literal);
    }
    tables::WriteLE64(Bytes(), static_cast<std::uint64_t>(scaled));
  }

  // The literal x 10000 exactly; refused when it does not fit 64 bits.
  std::int64_t ScaledCurrency(std::string_view literal) const {
    const bool negative = literal.front() == '-';
    if (negative) literal.remove_prefix(1);
    std::string digits(literal.substr(0, literal.find('.')));
    std::string fraction;
    if (const auto point = literal.find('.'); point != std::string_view::npos)
      fraction = literal.substr(point + 1);
    fraction.resize(kCurrencyDecimals, '0');
    digits += fraction;
    // The magnitude may be one more than the largest positive value when negative.
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (error != std::errc() || magnitude > limit) Refuse("is too large for a currency field");
    return negative ? static_cast<std::int64_t>(0 - magnitude)
                    : static_cast<std::int64_t>(magnitude);
  }

  void StoreDateTime() {
    RequireWidth(8);
    if (value_.empty()) {
      std::memset(Bytes(), 0, 8);
      return;
    }
    const auto time = ParseTimeText(value_);
    if (!time) Refuse("is not a date-time (give YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS.mmm)");
    StoreTime(*time, Bytes());
  }

  void StoreMemo() {
    if (!value_.empty()) return table_.SetMemoText(n_, codec_.ToTable(value_));
    // No text: the field holds no memo any more.
    if (tables::XbIsBinaryField(table_.FieldType(n_), table_.version())) {
      table_.SetFieldNumber(n_, 0);
    } else {
      table_.SetFieldText(n_, "");
    }
  }

  tables::XBO_dBaseFld& table_;
  int n_;
  std::string_view value_;
  const TextCodec& codec_;
};

bool WritesMemo(const tables::XBO_dBaseFld& table, int n) {
  const char type = table.FieldType(n);
  return type == 'M' || type == 'G' ||
         (type == 'B' && !tables::XbIsBinaryField(type, table.version()));
}

}  // namespace

Assignment ParseAssignment(std::string_view argument) {
  const auto equals = argument.find('=');
  if (equals == std::string_view::npos || equals == 0) {
    throw UsageError("\"" + std::string(argument) + "\" is not NAME=VALUE");
  }
  return {std::string(argument.substr(0, equals)), std::string(argument.substr(equals + 1))};
}

std::vector<Assignment> ParseAssignments(const std::vector<std::string>& arguments,
                                         std::size_t first) {
  std::vector<Assignment> assignments;
  for (std::size_t i = first; i < arguments.size(); ++i)
    assignments.push_back(ParseAssignment(arguments[i]));
  return assignments;
}

void AssignFields(tables::XBO_dBaseFld& table, const std::vector<Assignment>& assignments,
                  const TextCodec& codec) {
  std::vector<std::pair<int, const Assignment*>> fields;
  std::set<int> seen;
  for (const Assignment& assignment : assignments) {
    // Names are typed as the tool shows them: in UTF-8, like the values.
    const int n = table.FieldNumberOf(codec.ToTable(assignment.name));
    if (!seen.insert(n).second) {
      throw UsageError("field " + table.FieldName(n) + " is given twice");
    }
    fields.emplace_back(n, &assignment);
  }
  std::stable_partition(fields.begin(), fields.end(),
                        [&](const auto& field) { return !WritesMemo(table, field.first); });
  for (const auto& [n, assignment] : fields)
    FieldWriter(table, n, assignment->value, codec).Store();
}

}  // namespace tools::xbtool
