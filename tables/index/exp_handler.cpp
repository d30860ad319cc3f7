#include "tables/index/exp_handler.hpp"

#include "tables/index/exp_udf_support.hpp"

namespace tables {

namespace {

platform::Machine& MachineOf(TxbExpUserLink* link) {
  platform::Machine* linked = link ? link->LinkedMachine() : nullptr;
  return linked ? *linked : platform::CurrentMachine();
}

}  // namespace

TxbExpHandler::TxbExpHandler(TxbExpUserLink* link, bool sqlWildcards, std::string_view text)
    : TxbExpHandler(MachineOf(link), link, sqlWildcards, text) {}

TxbExpHandler::TxbExpHandler(platform::Machine& machine, TxbExpUserLink* link, bool sqlWildcards,
                             std::string_view text)
    : machine_(machine), link_(link) {
  rules_.wildcard = sqlWildcards ? '%' : '*';
  rules_.casing = &machine.codePages();
  Parse(text);
}

void TxbExpHandler::SetExpression(std::string_view text) {
  root_.reset();
  stats_ = {};
  resultType_ = xb_type::None;
  Parse(text);
}

// The counts are taken over only from a parse that succeeds: a handler left without a tree
// has no operands (a table filter counts as active by its operand count).
void TxbExpHandler::Parse(std::string_view text) {
  TxbExpOperandStats stats;
  root_ = ParseExpression(text, TxbExpParseSettings{this, &machine_, link_, rules_}, stats);
  stats_ = stats;
}

const TxbExpValue& TxbExpHandler::Evaluate() {
  if (!root_) {
    value_.Clear();
    resultType_ = xb_type::None;
    return value_;
  }
  resultType_ = xb_type::Undefined;  // stays so when the evaluation fails
  TxbBuiltTextBudget budget;
  resultType_ = root_->Evaluate(value_);
  return value_;
}

void TxbExpHandler::EvaluateKey(TxbVariant& key) {
  if (!root_) {
    key.SetText({});
    resultType_ = xb_type::None;
    return;
  }
  Evaluate();
  TakeKey(key);
}

void TxbExpHandler::TakeKey(TxbVariant& key) {
  switch (resultType_) {
    case xb_type::Text:
    case xb_type::Number:
    case xb_type::DateReserved:
    case xb_type::Date:
    case xb_type::Boolean:
      break;
    default:
      resultType_ = xb_type::None;
      return;
  }
  if (value_.IsUnassigned()) return;
  switch (resultType_) {
    case xb_type::Text:
      key.SetText(value_.MakeText());
      break;
    case xb_type::Date:
      key.SetDate(DayNumberOf(value_.ToNumber(machine_)));
      break;
    case xb_type::Boolean:
      key.SetLogical(value_.ToBoolean(machine_));
      break;
    default:
      key.SetNumber(value_.ToNumber(machine_));
      break;
  }
}

std::string TxbExpHandler::ExpressionText() const {
  return root_ ? root_->Text() : std::string();
}

std::string TxbExpHandler::NamesOfKind(int kind) const {
  return root_ ? root_->NamesOfKind(kind) : std::string();
}

}  // namespace tables
