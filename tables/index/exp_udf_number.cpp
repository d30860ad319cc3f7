// Number built-ins: CEILING, FLOOR, INT, MOD, STR, STRZERO and VAL.
#include <cmath>
#include <string>

#include "platform/exception.hpp"
#include "platform/machine.hpp"
#include "tables/index/exp_builtins.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_number_text.hpp"
#include "tables/index/exp_udf_support.hpp"
#include "tables/storage/number_text.hpp"

namespace tables {
namespace {

// STR's width when none is given: the link's default, 10 when it is not above 0.
long long DefaultStrWidth(const TxbExpFunction& call) {
  const TxbExpUserLink* link = call.Handler() ? call.Handler()->Link() : nullptr;
  int width = link ? link->StrDefaultWidth() : TxbExpUserLink::kDefaultStrWidth;
  return width > 0 ? width : TxbExpUserLink::kDefaultStrWidth;
}

// The number right-aligned in width characters, or width asterisks when it does not fit.
void FormatInWidth(double number, long long width, long long decimals, std::string& text) {
  text.clear();
  if (width <= 0) return;
  CheckBuiltLength(width);
  if (decimals > width) decimals = width;  // cannot fit; keeps the formatting bounded
  if (std::isfinite(number)) XbFormatFixed(number, static_cast<int>(decimals), text);
  auto size = static_cast<long long>(text.size());
  if (!std::isfinite(number) || size > width) {
    text.assign(static_cast<std::size_t>(width), '*');
  } else {
    text.insert(0, static_cast<std::size_t>(width - size), ' ');
  }
}

}  // namespace

bool TxbUDFCeiling::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  double number = NumberArgument(call, 0, value);
  double whole = std::trunc(number);
  ReturnNumber(value, type, number - whole > 0 ? whole + 1 : whole);
  return true;
}

bool TxbUDFFloor::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  double number = NumberArgument(call, 0, value);
  double whole = std::trunc(number);
  ReturnNumber(value, type, number - whole < 0 ? whole - 1 : whole);
  return true;
}

bool TxbUDFInt::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  ReturnNumber(value, type, std::trunc(NumberArgument(call, 0, value)));
  return true;
}

bool TxbUDFMod::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  double dividend = std::trunc(NumberArgument(call, 0, call.Scratch(0)));
  double divisor = std::trunc(NumberArgument(call, 1, value));
  if (divisor == 0) throw platform::EDivByZero();
  ReturnNumber(value, type, std::fmod(dividend, divisor));
  return true;
}

bool TxbUDFStr::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  double number = NumberArgument(call, 0, call.Scratch(0));
  long long width = DefaultStrWidth(call);
  long long decimals = 0;
  if (IsNumericType(call.GetArgument(1, xb_type::Number, value))) {
    width = RoundedCount(value.ToNumber(call.machine()));
    if (IsNumericType(call.GetArgument(2, xb_type::Number, value))) {
      decimals = RoundedCount(value.ToNumber(call.machine()));
    }
  }
  FormatInWidth(number, width, decimals < 0 ? 0 : decimals, value.NewText());
  type = xb_type::Text;
  return true;
}

bool TxbUDFStrZero::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  TxbUDFStr::Execute(call, value, type);
  std::string& text = value.MakeText();
  for (std::size_t i = 0; i < text.size() && text[i] == ' '; ++i)
    text[i] = '0';
  return true;
}

bool TxbUDFVal::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  const std::string& text = TextArgument(call, 0, value);
  double number = 0;
  char separator = call.machine().system().DecimalSeparator();
  if (!TryTextToFloat(text, separator, number)) number = 0;
  ReturnNumber(value, type, number);
  return true;
}

}  // namespace tables
