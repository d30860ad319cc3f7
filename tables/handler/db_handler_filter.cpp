// The handler's filter: the compiled expression and the bit set of the records it admits.
#include <algorithm>
#include <vector>

#include "tables/handler/db_handler.hpp"
#include "tables/index/exp_operator.hpp"
#include "tables/index/exp_types.hpp"
#include "tables/index/record_scan.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

std::string_view FieldText(const std::uint8_t* image, const XbFieldDesc& field) {
  return {reinterpret_cast<const char*>(image) + field.offset,
          static_cast<std::size_t>(field.length)};
}

}  // namespace

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

// The filter's comparison of a number field with a literal when that is all it is and the
// stored bytes are plain text: it is then decided on each record's bytes where they lie.
const TxbExpOperator* XBO_dBHandler::FilterOnStoredDigits() const {
  const auto* root = dynamic_cast<const TxbExpOperator*>(filterExpression_->Root());
  if (!root || !root->storedDigits() || encrypted()) return nullptr;
  return FieldDescByNumber(root->storedDigits()->field()) ? root : nullptr;
}

void XBO_dBHandler::EvaluateFilterOnEveryRecord() {
  filterSet_->Clear();
  const TxbExpOperator* direct = FilterOnStoredDigits();
  const XbFieldDesc* field = direct ? FieldDescByNumber(direct->storedDigits()->field()) : nullptr;
  // Whole blocks of records straight from the file, without each record's read
  // notifications, in natural order whatever the current tag.
  const std::uint32_t length = recordLength();
  const auto perBlock = static_cast<std::int32_t>(std::max(1U, kRecordBlockBytes / length));
  std::vector<std::uint8_t> block(static_cast<std::size_t>(perBlock) * length);
  for (std::int32_t first = 1; first <= recordCount(); first += perBlock) {
    const std::int32_t wanted = std::min(perBlock, recordCount() - first + 1);
    const std::uint64_t offset = headerLength() + static_cast<std::uint64_t>(first - 1) * length;
    const std::uint32_t read =
        XBO_dBaseFld::ReadAt(offset, block.data(), static_cast<std::uint32_t>(wanted) * length);
    const auto whole = static_cast<std::int32_t>(read / length);
    for (std::int32_t i = 0; i < whole; ++i) {
      const std::uint8_t* image = block.data() + static_cast<std::size_t>(i) * length;
      bool holds = false;
      if (!field || !direct->DecideStoredText(FieldText(image, *field), holds)) {
        ViewRecordImage(first + i, image);
        holds = FilterHolds();
      }
      filterSet_->Assign(first + i, holds);
    }
    if (whole < wanted) break;  // the file ends before the count says
  }
}

}  // namespace tables
