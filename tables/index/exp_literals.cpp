#include "tables/index/exp_literals.hpp"

#include "tables/storage/dbf_date.hpp"
#include "tables/storage/number_text.hpp"

namespace tables {

TxbExpTextLit::TxbExpTextLit(std::string_view text)
    : TxbExpBaseObject(xb_node::TextLiteral, xb_type::Text, static_cast<int>(text.size())),
      text_(text) {}

std::string TxbExpTextLit::Name() const {
  return "\"" + text_ + "\"";
}

std::uint8_t TxbExpTextLit::Evaluate(TxbExpValue& value) {
  value.SetText(text_);
  return xb_type::Text;
}

TxbExpNumLit::TxbExpNumLit(double value, int width, int decimals)
    : TxbExpBaseObject(xb_node::NumberLiteral, xb_type::Number, width, decimals), value_(value) {}

std::string TxbExpNumLit::Name() const {
  std::string text;
  XbFormatFixed(value_, Decimals(), text);
  return text;
}

std::uint8_t TxbExpNumLit::Evaluate(TxbExpValue& value) {
  value.SetNumber(value_);
  return xb_type::Number;
}

TxbExpDateLit::TxbExpDateLit(platform::Machine& machine, double day)
    : TxbExpBaseObject(xb_node::DateLiteral, xb_type::Date), machine_(machine), day_(day) {}

std::string TxbExpDateLit::Name() const {
  return "{" + XbDate().DisplayText(machine_, DayNumberOf(day_)) + "}";
}

std::uint8_t TxbExpDateLit::Evaluate(TxbExpValue& value) {
  value.SetNumber(day_);
  return xb_type::Date;
}

TxbExpBlnLit::TxbExpBlnLit(bool value)
    : TxbExpBaseObject(xb_node::BooleanLiteral, xb_type::Boolean), value_(value) {}

std::string TxbExpBlnLit::Name() const {
  return value_ ? ".T." : ".F.";
}

std::uint8_t TxbExpBlnLit::Evaluate(TxbExpValue& value) {
  value.SetBoolean(value_);
  return xb_type::Boolean;
}

}  // namespace tables
