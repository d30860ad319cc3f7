#include "tables/index/exp_operator.hpp"

#include <cmath>

#include "tables/index/exp_errors.hpp"
#include "tables/index/exp_udf_support.hpp"

namespace tables {
namespace {

// Beyond this many factors "^" is computed with pow, which differs only in rounding.
constexpr double kMaxPowerLoop = 4096;

bool IsComparison(std::uint8_t code) {
  return code >= xb_op::Equal && code <= xb_op::LessEqual;
}

bool YieldsBoolean(std::uint8_t code) {
  return (code >= xb_op::Equal && code <= xb_op::ExactlyEqual) ||
         (code >= xb_op::And && code <= xb_op::Not);
}

bool ComparisonHolds(std::uint8_t code, int order) {
  switch (code) {
    case xb_op::Equal:
      return order == 0;
    case xb_op::NotEqual:
      return order != 0;
    case xb_op::Greater:
      return order > 0;
    case xb_op::Less:
      return order < 0;
    case xb_op::GreaterEqual:
      return order >= 0;
    default:
      return order <= 0;
  }
}

// A date side of a comparison: every empty date compares as day 0, the smallest.
double ComparedValue(double value, std::uint8_t type) {
  bool isDate = type == xb_type::Date || type == xb_type::DateReserved;
  return isDate && IsEmptyDate(value) ? 0 : value;
}

// The left value multiplied by itself trunc(exponent) - 1 times.
double RepeatedProduct(double base, double exponent) {
  double times = std::trunc(exponent) - 1;
  if (!(times > 0)) return base;
  if (times > kMaxPowerLoop) return std::pow(base, times + 1);
  double result = base;
  for (int i = 0; i < static_cast<int>(times); ++i)
    result *= base;
  return result;
}

}  // namespace

std::uint8_t OperatorLevel(std::uint8_t code) {
  switch (code) {
    case xb_op::Equal:
    case xb_op::NotEqual:
    case xb_op::Greater:
    case xb_op::Less:
    case xb_op::GreaterEqual:
    case xb_op::LessEqual:
    case xb_op::Contains:
    case xb_op::ExactlyEqual:
      return 5;
    case xb_op::Plus:
    case xb_op::Minus:
      return 4;
    case xb_op::Times:
    case xb_op::Divide:
      return 3;
    case xb_op::Power:
      return 2;
    case xb_op::Not:
      return 6;
    case xb_op::And:
      return 7;
    case xb_op::Or:
      return 8;
    default:
      return 0;
  }
}

TxbExpOperator::TxbExpOperator(platform::Machine& machine, std::uint8_t code,
                               const TxbTextCompareRules& rules)
    : TxbExpBaseObject(xb_node::UnboundOperator, xb_type::None),
      machine_(machine),
      code_(code),
      level_(OperatorLevel(code)),
      rules_(rules) {}

std::string TxbExpOperator::Name() const {
  switch (code_) {
    case xb_op::Equal:
      return "=";
    case xb_op::NotEqual:
      return "#";
    case xb_op::Greater:
      return ">";
    case xb_op::Less:
      return "<";
    case xb_op::GreaterEqual:
      return ">=";
    case xb_op::LessEqual:
      return "<=";
    case xb_op::Contains:
      return "in string";
    case xb_op::ExactlyEqual:
      return "exactly equal";
    case xb_op::Plus:
      return "+";
    case xb_op::Minus:
      return "-";
    case xb_op::Times:
      return "*";
    case xb_op::Divide:
      return "/";
    case xb_op::Power:
      return "^";
    case xb_op::And:
      return ".AND.";
    case xb_op::Or:
      return ".OR.";
    default:
      return ".NOT.";
  }
}

void TxbExpOperator::Bind(std::unique_ptr<TxbExpBaseObject> left,
                          std::unique_ptr<TxbExpBaseObject> right) {
  SetOperands(std::move(left), std::move(right));
  SetClassCode(xb_node::BoundOperator);
}

std::uint8_t TxbExpOperator::Evaluate(TxbExpValue& value) {
  if (DecideOnStoredDigits(value)) return SetResultType(xb_type::Boolean);
  if (!right() || (!left() && code_ != xb_op::Not)) RaiseTargetMissing(Name());
  std::uint8_t leftType = xb_type::Undefined;
  if (left()) {
    leftType = left()->Evaluate(leftValue_);
  } else {
    leftValue_.Clear();
  }
  std::uint8_t rightType = right()->Evaluate(value);
  SetResultType(rightType);
  if (leftType != rightType && !(IsNumericType(leftType) && IsNumericType(rightType))) {
    if (code_ != xb_op::Not) RaiseSidesMismatch();
    if (rightType != xb_type::Boolean) RaiseInvalidValue("boolean");
  }
  if (rightType == xb_type::Boolean) {
    EvaluateBoolean(value);
  } else if (IsNumericType(rightType)) {
    EvaluateNumeric(leftType, rightType, value);
  } else if (rightType == xb_type::Text) {
    EvaluateText(value);
  } else {
    value.Clear();  // no value for this type
  }
  if (YieldsBoolean(code_)) SetResultType(xb_type::Boolean);
  if (!storedDigitsSought_) {
    storedDigitsSought_ = true;
    if (IsComparison(code_)) storedDigits_ = TxbNumberFieldComparison::For(left(), right());
  }
  return ResultType();
}

bool TxbExpOperator::DecideStoredText(std::string_view text, bool& holds) const {
  int order = 0;
  if (!storedDigits_ || !storedDigits_->DecideText(text, order)) return false;
  holds = ComparisonHolds(code_, order);
  return true;
}

bool TxbExpOperator::DecideOnStoredDigits(TxbExpValue& value) const {
  int order = 0;
  if (!storedDigits_ || !storedDigits_->Decide(order)) return false;
  value.SetBoolean(ComparisonHolds(code_, order));
  return true;
}

void TxbExpOperator::EvaluateBoolean(TxbExpValue& value) const {
  bool right = value.ToBoolean(machine_);
  switch (code_) {
    case xb_op::Not:
      value.SetBoolean(!right);
      return;
    case xb_op::Equal:
      value.SetBoolean(leftValue_.ToBoolean(machine_) == right);
      return;
    case xb_op::NotEqual:
      value.SetBoolean(leftValue_.ToBoolean(machine_) != right);
      return;
    case xb_op::And:
      value.SetBoolean(leftValue_.ToBoolean(machine_) && right);
      return;
    case xb_op::Or:
      value.SetBoolean(leftValue_.ToBoolean(machine_) || right);
      return;
    case xb_op::Plus:
    case xb_op::Minus:
    case xb_op::Times:
    case xb_op::Divide:
    case xb_op::Power:
      RaiseInvalidValue("number");
    default:
      RaiseInvalidValue("assigned");
  }
}

void TxbExpOperator::EvaluateNumeric(std::uint8_t leftType, std::uint8_t rightType,
                                     TxbExpValue& value) const {
  double left = leftValue_.ToNumber(machine_), right = value.ToNumber(machine_);
  if (IsComparison(code_)) {
    double difference = ComparedValue(left, leftType) - ComparedValue(right, rightType);
    // Formed without branches: the sign changes from record to record and would be guessed
    // wrong about every other time.
    int order = static_cast<int>(difference > 0) - static_cast<int>(difference < 0);
    value.SetBoolean(ComparisonHolds(code_, order));
    return;
  }
  switch (code_) {
    case xb_op::Plus:
      value.SetNumber(left + right);
      return;
    case xb_op::Minus:
      value.SetNumber(left - right);
      return;
    case xb_op::Times:
      value.SetNumber(left * right);
      return;
    case xb_op::Divide:
      value.SetNumber(left / right);
      return;
    case xb_op::Power:
      value.SetNumber(RepeatedProduct(left, right));
      return;
    default:
      RaiseInvalidValue("assigned");
  }
}

void TxbExpOperator::EvaluateText(TxbExpValue& value) {
  if (IsComparison(code_)) {
    int order = CompareExpressionTexts(leftValue_, value, rules_, compareBuffers_);
    value.SetBoolean(ComparisonHolds(code_, order));
    return;
  }
  switch (code_) {
    case xb_op::Contains: {
      const std::string& left = leftValue_.MakeText();
      bool found = !left.empty() && value.MakeText().find(left) != std::string::npos;
      value.SetBoolean(found);
      return;
    }
    case xb_op::Plus: {
      const std::string& left = leftValue_.MakeText();
      std::string& text = value.MakeText();
      // Each joined text may be of the longest length; without this check a short
      // expression joining several would build hundreds of megabytes.
      CheckBuiltLength(static_cast<long long>(left.size() + text.size()));
      text.insert(0, left);
      return;
    }
    case xb_op::Minus: {
      const std::string& left = leftValue_.MakeText();
      std::string& text = value.MakeText();
      std::size_t total = left.size() + text.size();
      CheckBuiltLength(static_cast<long long>(total));
      std::size_t kept = left.find_last_not_of(' ');
      kept = kept == std::string::npos ? 0 : kept + 1;
      text.insert(0, left, 0, kept);
      text.resize(total, ' ');
      return;
    }
    default:
      RaiseInvalidValue("assigned");
  }
}

}  // namespace tables
