#include "tables/index/exp_field_comparison.hpp"

#include <cmath>

#include "tables/index/exp_call.hpp"
#include "tables/index/exp_literals.hpp"
#include "tables/index/exp_table_functions.hpp"
#include "tables/storage/number_text.hpp"
#include "tables/storage/record_source.hpp"

namespace tables {
namespace {

// The numeric table field a node reads, or nullptr.
const TxblDBFFieldVars* NumberField(const TxbExpBaseObject* node) {
  const auto* variable = dynamic_cast<const TxbExpFieldvar*>(node);
  if (!variable) return nullptr;
  const auto* field = dynamic_cast<const TxblDBFFieldVars*>(&variable->Variable());
  if (!field) return nullptr;
  const char type = field->Table().FieldType(field->Field());
  return type == 'N' || type == 'F' ? field : nullptr;
}

// The value stored digits stand for, negative ones with a minus.
double ValueOf(std::int64_t signedDigits, int decimals) {
  const bool negative = signedDigits < 0;
  const XbFieldDigits digits{static_cast<std::uint64_t>(negative ? -signedDigits : signedDigits),
                             negative};
  return XbFieldDigitsValue(digits, decimals);
}

// The least stored digits in [-most, most] whose value meets reached, or most + 1. Values
// grow with the digits, as rounding keeps order.
template <typename Reached>
std::int64_t LeastReaching(std::int64_t most, int decimals, Reached reached) {
  std::int64_t low = -most, high = most + 1;
  while (low < high) {
    const std::int64_t middle = low + (high - low) / 2;
    if (reached(ValueOf(middle, decimals))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

// Stored digits as the places read with the point as a 0 digit: the integer part moves one
// place up. The order stays.
std::int64_t PlacesOf(std::int64_t signedDigits, int decimals) {
  if (decimals == 0) return signedDigits;
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i)
    scale *= 10;
  const std::int64_t magnitude = signedDigits < 0 ? -signedDigits : signedDigits;
  const std::int64_t places = magnitude / scale * scale * 10 + magnitude % scale;
  return signedDigits < 0 ? -places : places;
}

}  // namespace

std::unique_ptr<TxbNumberFieldComparison> TxbNumberFieldComparison::For(
    const TxbExpBaseObject* left, const TxbExpBaseObject* right) {
  const TxblDBFFieldVars* field = NumberField(left);
  const auto* literal = dynamic_cast<const TxbExpNumLit*>(right);
  const bool fieldOnLeft = field != nullptr;
  if (!field) {
    field = NumberField(right);
    literal = dynamic_cast<const TxbExpNumLit*>(left);
  }
  if (!field || !literal || !std::isfinite(literal->value())) return nullptr;
  const XbRecordSource& table = field->Table();
  const int decimals = table.FieldDecimals(field->Field());
  const int places = table.FieldLength(field->Field()) - (decimals > 0 ? 1 : 0);
  if (decimals < 0 || places <= decimals || places > kFieldLayoutPlaces) return nullptr;
  return std::unique_ptr<TxbNumberFieldComparison>(
      new TxbNumberFieldComparison(field->Table(), field->Field(), literal->value(), fieldOnLeft));
}

TxbNumberFieldComparison::TxbNumberFieldComparison(XbRecordSource& table, int field, double literal,
                                                   bool fieldOnLeft)
    : table_(table),
      field_(field),
      width_(static_cast<std::size_t>(table.FieldLength(field))),
      decimals_(table.FieldDecimals(field)),
      fieldOnLeft_(fieldOnLeft) {
  const int places = static_cast<int>(width_) - (decimals_ > 0 ? 1 : 0);
  std::int64_t most = 1;
  for (int i = 0; i < places; ++i)
    most *= 10;
  --most;
  least_ =
      PlacesOf(LeastReaching(most, decimals_, [literal](double value) { return value >= literal; }),
               decimals_);
  above_ =
      PlacesOf(LeastReaching(most, decimals_, [literal](double value) { return value > literal; }),
               decimals_);
}

bool TxbNumberFieldComparison::Decide(int& order) const {
  return DecideText(table_.FieldStoredText(field_), order);
}

bool TxbNumberFieldComparison::DecideText(std::string_view text, int& order) const {
  XbFieldDigits digits;
  if (text.size() != width_ || !XbReadFieldPlaces(text, decimals_, digits)) return false;
  const auto magnitude = static_cast<std::int64_t>(digits.digits);
  const std::int64_t stored = digits.negative ? -magnitude : magnitude;
  const int fieldOrder = static_cast<int>(stored >= above_) - static_cast<int>(stored < least_);
  order = fieldOnLeft_ ? fieldOrder : -fieldOrder;
  return true;
}

}  // namespace tables
