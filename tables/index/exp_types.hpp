#pragma once
// Codes shared by the expression language: result types, node classes and operators.
#include <cstdint>
#include <string_view>

namespace tables {

// Result type of an evaluation.
namespace xb_type {
inline constexpr std::uint8_t None = 0;       // no value, or no key form
inline constexpr std::uint8_t Undefined = 1;  // nothing was produced
inline constexpr std::uint8_t Any = 2;        // expected argument type: no check
inline constexpr std::uint8_t Text = 3;
inline constexpr std::uint8_t Number = 4;
inline constexpr std::uint8_t NumberReserved = 5;
inline constexpr std::uint8_t Date = 6;
inline constexpr std::uint8_t DateReserved = 7;
inline constexpr std::uint8_t Boolean = 8;
inline constexpr std::uint8_t Other = 9;  // a field of a type the language does not read
}  // namespace xb_type

// Codes 4 to 7 mix freely in arithmetic and comparisons.
constexpr bool IsNumericType(std::uint8_t type) {
  return type >= xb_type::Number && type <= xb_type::DateReserved;
}

// The name a type has in argument messages.
constexpr std::string_view TypeMessageName(std::uint8_t type) {
  switch (type) {
    case xb_type::Text:
      return "Text";
    case xb_type::Number:
      return "Number";
    case xb_type::Date:
      return "Date";
    case xb_type::Boolean:
      return "Boolean";
    default:
      return "Unknown Value";
  }
}

// Class code of a node.
namespace xb_node {
inline constexpr std::uint8_t Group = 0;
inline constexpr std::uint8_t BoundOperator = 2;
inline constexpr std::uint8_t UnboundOperator = 3;
inline constexpr std::uint8_t Function = 4;
inline constexpr std::uint8_t Variable = 5;
inline constexpr std::uint8_t TextLiteral = 6;
inline constexpr std::uint8_t NumberLiteral = 7;
inline constexpr std::uint8_t DateLiteral = 8;
inline constexpr std::uint8_t BooleanLiteral = 9;
}  // namespace xb_node

// Operator codes.
namespace xb_op {
inline constexpr std::uint8_t Equal = 129;
inline constexpr std::uint8_t NotEqual = 130;
inline constexpr std::uint8_t Greater = 131;
inline constexpr std::uint8_t Less = 132;
inline constexpr std::uint8_t GreaterEqual = 133;
inline constexpr std::uint8_t LessEqual = 134;
inline constexpr std::uint8_t Contains = 135;
inline constexpr std::uint8_t ExactlyEqual = 136;
inline constexpr std::uint8_t Plus = 137;
inline constexpr std::uint8_t Minus = 138;
inline constexpr std::uint8_t Times = 139;
inline constexpr std::uint8_t Divide = 140;
inline constexpr std::uint8_t Power = 141;
inline constexpr std::uint8_t And = 144;
inline constexpr std::uint8_t Or = 145;
inline constexpr std::uint8_t Not = 146;
}  // namespace xb_op

// Variable kinds.
inline constexpr int kKindUserVariable = 16;
inline constexpr int kKindTableField = 17;

// The empty date of date conversions; a day number <= 0 is empty too.
inline constexpr double kEmptyDate = 1.0E100;

constexpr bool IsEmptyDate(double day) {
  return day <= 0 || day >= kEmptyDate;
}

// The 32-bit day of a date value; 0 for the empty date and for values that are no day at all
// (beyond the 32-bit range, not a number).
constexpr std::int32_t DayNumberOf(double day) {
  if (!(day > 0) || day >= 2147483648.0) return 0;
  return static_cast<std::int32_t>(day);
}

}  // namespace tables
