// The handler's filter: the compiled expression and the bit set of the records it admits.
#include <algorithm>
#include <vector>

#include "tables/handler/db_handler.hpp"
#include "tables/index/exp_types.hpp"
#include "tables/index/record_scan.hpp"
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
  const XbCurrentRecordKept kept(*this);
  EvaluateFilterOnEveryRecord();
}

void XBO_dBHandler::EvaluateFilterOnEveryRecord() {
  filterSet_->Clear();
  // Whole blocks of records as the read-ahead block reads them, straight from the file and
  // without each record's read notifications, in natural order whatever the current tag.
  const std::uint32_t length = recordLength();
  const std::int32_t perBlock = static_cast<std::int32_t>(XbReadAhead(length).capacity() / length);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(perBlock) * length);
  for (std::int32_t first = 1; first <= recordCount(); first += perBlock) {
    const std::int32_t wanted = std::min(perBlock, recordCount() - first + 1);
    const std::uint64_t offset = headerLength() + static_cast<std::uint64_t>(first - 1) * length;
    const std::uint32_t read =
        XBO_dBaseFld::ReadAt(offset, block.data(), static_cast<std::uint32_t>(wanted) * length);
    const auto whole = static_cast<std::int32_t>(read / length);
    for (std::int32_t i = 0; i < whole; ++i) {
      ViewRecordImage(first + i, block.data() + static_cast<std::size_t>(i) * length);
      filterSet_->Assign(first + i, FilterHolds());
    }
    if (whole < wanted) break;  // the file ends before the count says
  }
}

}  // namespace tables
