#pragma once
// TxbNumberFieldComparison: a comparison of a table's N or F field with a number literal
// ("NUM > 500", "100 <= PRICE"), the most common filter and FOR condition, decided on the
// field's stored digits. The literal becomes two bounds on those digits, found once, so a
// record is decided without converting its text to a number; a field whose text is not laid
// out as the field writes numbers is left to the general evaluation.
#include <cstdint>
#include <memory>
#include <string_view>

#include "tables/index/exp_node.hpp"

namespace tables {

class XbRecordSource;

class TxbNumberFieldComparison {
 public:
  // The comparison of left and right when one is such a field and the other a number literal;
  // nullptr otherwise.
  static std::unique_ptr<TxbNumberFieldComparison> For(const TxbExpBaseObject* left,
                                                       const TxbExpBaseObject* right);

  // On the current record, the sign of left minus right as the general evaluation would form
  // it; false when the field's text needs the general evaluation.
  bool Decide(int& order) const;
  // The same for the field's stored text given directly (a record not made current).
  bool DecideText(std::string_view text, int& order) const;
  // The number of the field compared.
  int field() const { return field_; }

 private:
  TxbNumberFieldComparison(XbRecordSource& table, int field, double literal, bool fieldOnLeft);

  XbRecordSource& table_;
  int field_;
  std::size_t width_;
  int decimals_;
  bool fieldOnLeft_;
  // Stored places (signed, the point read as a 0 digit) from least reach the literal, from
  // above pass it.
  std::int64_t least_ = 0;
  std::int64_t above_ = 0;
};

}  // namespace tables
