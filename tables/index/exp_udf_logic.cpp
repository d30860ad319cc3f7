// Built-ins that work on any type: BETWEEN, DESCEND, EMPTY and IIF.
#include <string>

#include "tables/index/exp_builtins.hpp"
#include "tables/index/exp_udf_support.hpp"

namespace tables {
namespace {

// Day number DESCEND mirrors dates around.
constexpr double kDescendDateBase = 5231808;

bool IsDateType(std::uint8_t type) {
  return type == xb_type::Date || type == xb_type::DateReserved;
}

// In BETWEEN every empty date is day 0, the smallest date.
void NormaliseEmptyDate(TxbExpFunction& call, TxbExpValue& value, std::uint8_t type) {
  if (IsDateType(type) && IsEmptyDate(value.ToNumber(call.machine()))) value.SetNumber(0);
}

}  // namespace

bool TxbUDFBetween::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  TxbExpValue& x = call.Scratch(0);
  TxbExpValue& low = call.Scratch(1);
  std::uint8_t xType = call.RequireArgument(0, xb_type::Any, x);
  std::uint8_t lowType = call.RequireArgument(1, xType, low);
  std::uint8_t highType = call.RequireArgument(2, xType, value);
  NormaliseEmptyDate(call, x, xType);
  NormaliseEmptyDate(call, low, lowType);
  NormaliseEmptyDate(call, value, highType);
  bool inside =
      CompareValues(call.machine(), low, x) <= 0 && CompareValues(call.machine(), x, value) <= 0;
  ReturnBoolean(value, type, inside);
  return true;
}

bool TxbUDFDescend::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  type = call.RequireArgument(0, xb_type::Any, value);
  if (IsDateType(type)) {
    double day = value.ToNumber(call.machine());
    if (!IsEmptyDate(day)) value.SetNumber(kDescendDateBase - day);
  } else if (IsNumericType(type)) {
    value.SetNumber(-value.ToNumber(call.machine()) + 0.0);
  } else if (type == xb_type::Text) {
    for (char& c : value.MakeText())
      c = static_cast<char>((256 - static_cast<unsigned char>(c)) & 0xFF);
  } else if (type == xb_type::Boolean) {
    value.SetBoolean(!value.ToBoolean(call.machine()));
  } else {
    value.SetBoolean(false);
  }
  return true;
}

bool TxbUDFEmpty::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::uint8_t argumentType = call.RequireArgument(0, xb_type::Any, value);
  bool empty = false;
  if (IsDateType(argumentType)) {
    empty = IsEmptyDate(value.ToNumber(call.machine()));
  } else if (IsNumericType(argumentType)) {
    empty = value.ToNumber(call.machine()) == 0;
  } else if (argumentType == xb_type::Text) {
    empty = value.MakeText().empty();
  } else if (argumentType == xb_type::Boolean) {
    empty = !value.ToBoolean(call.machine());
  }
  ReturnBoolean(value, type, empty);
  return true;
}

bool TxbUDFIIF::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  call.RequireArgument(0, xb_type::Boolean, value);
  int chosen = value.ToBoolean(call.machine()) ? 1 : 2;
  if (!call.HasArgument(chosen)) return false;
  type = call.GetArgument(chosen, xb_type::Any, value);
  return true;
}

}  // namespace tables
