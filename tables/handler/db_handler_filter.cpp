// The handler's filter: the compiled expression and the bit set of the records it admits.
#include "tables/handler/db_handler.hpp"
#include "tables/index/exp_types.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {

bool XBO_dBHandler::FilterHolds() {
  const TxbExpValue& value = filterExpression_->Evaluate();
  return value.kind() == TxbExpValue::Kind::Boolean && value.boolean();
}

bool XBO_dBHandler::FilterIsLogical() {
  // The type shows on evaluation, here on the record at hand.
  filterExpression_->Evaluate();
  return filterExpression_->ResultType() == xb_type::Boolean;
}

void XBO_dBHandler::BuildFilter(std::string_view expression, bool caseInsensitive,
                                bool partialCompare) {
  if (!filterSet_) filterSet_ = std::make_unique<TxbHugeSet>();
  if (!filterExpression_) {
    filterExpression_ =
        std::make_unique<TxbExpHandler>(machine(), &XbTableLink(*this), false, std::string_view{});
  }
  const bool wanted = filterWanted_;
  if (expression != filterText_ || caseInsensitive != filterCaseInsensitive_ ||
      partialCompare != filterPartial_ || !filterExpression_->Root()) {
    filterSet_->Clear();
    filterText_.clear();
    filterExpression_->SetCaseInsensitive(caseInsensitive);
    filterExpression_->SetPartialCompare(partialCompare);
    filterExpression_->SetExpression(expression);
    if (filterExpression_->Root() && !FilterIsLogical()) {
      filterExpression_->SetExpression({});
      throw EXbaseError("Filter expression must return boolean result");
    }
    filterText_ = std::string(expression);
    filterCaseInsensitive_ = caseInsensitive;
    filterPartial_ = partialCompare;
  }
  ScanFilter();
  filterWanted_ = wanted;
}

void XBO_dBHandler::RebuildFilter() {
  if (filterExpression_ && filterExpression_->Root()) ScanFilter();
}

void XBO_dBHandler::ScanFilter() {
  if (!filterExpression_->Root()) return;
  XBobjIndexTag* const tag = currentTag_;
  const bool hadReadAhead = readAhead();
  const std::int32_t position = position_;
  currentTag_ = nullptr;
  SetReadAhead(true);
  try {
    filterSet_->Clear();
    for (std::int32_t n = 1; n <= recordCount(); ++n) {
      ReadRecord(n);
      filterSet_->Assign(n, FilterHolds());
    }
  } catch (...) {
    currentTag_ = tag;
    SetReadAhead(hadReadAhead);
    throw;
  }
  currentTag_ = tag;
  SetReadAhead(hadReadAhead);
  if (position >= 1 && position <= recordCount()) ReadRecord(position);
}

}  // namespace tables
