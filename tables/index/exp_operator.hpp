#pragma once
// TxbExpOperator: an operator in the tree. Made unbound by the reader, bound to its operands
// by precedence, and evaluated by the type of its right operand.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tables/index/exp_field_comparison.hpp"
#include "tables/index/exp_node.hpp"
#include "tables/index/exp_text_compare.hpp"

namespace tables {

class TxbExpOperator : public TxbExpBaseObject {
 public:
  // The machine converts text operands to numbers and logicals.
  TxbExpOperator(platform::Machine& machine, std::uint8_t code, const TxbTextCompareRules& rules);

  // The operator's display text ("=", "#", "in string", "exactly equal", ".AND." ...).
  std::string Name() const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;

  // Takes its operands (either may be absent) and becomes bound.
  void Bind(std::unique_ptr<TxbExpBaseObject> left, std::unique_ptr<TxbExpBaseObject> right);
  bool IsBound() const { return ClassCode() == xb_node::BoundOperator; }

  std::uint8_t code() const { return code_; }
  // Precedence level: a lower level binds tighter.
  std::uint8_t level() const { return level_; }
  const TxbTextCompareRules& rules() const { return rules_; }

  // The comparison of a number field with a literal this operator is decided by, once its
  // first evaluation found one; nullptr otherwise.
  const TxbNumberFieldComparison* storedDigits() const { return storedDigits_.get(); }
  // Decides that comparison on the field's stored text given directly; false when the text
  // needs the general evaluation.
  bool DecideStoredText(std::string_view text, bool& holds) const;

 private:
  void EvaluateBoolean(TxbExpValue& value) const;
  void EvaluateNumeric(std::uint8_t leftType, std::uint8_t rightType, TxbExpValue& value) const;
  void EvaluateText(TxbExpValue& value);
  // Decides the comparison on a number field's stored digits when it is one; false when the
  // general evaluation must.
  bool DecideOnStoredDigits(TxbExpValue& value) const;

  platform::Machine& machine_;
  std::uint8_t code_;
  std::uint8_t level_;
  TxbTextCompareRules rules_;
  TxbExpValue leftValue_;  // the left operand's value, kept for its text buffer
  TxbTextCompareBuffers compareBuffers_;
  // Looked for after the first evaluation, when the operand types are settled.
  bool storedDigitsSought_ = false;
  std::unique_ptr<TxbNumberFieldComparison> storedDigits_;
};

// Precedence level of an operator code (0 for a code that is no operator).
std::uint8_t OperatorLevel(std::uint8_t code);

}  // namespace tables
