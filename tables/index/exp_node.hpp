#pragma once
// The nodes of a parsed expression. TxbExpBaseObject holds what every node has (class code,
// result type, width, decimals, owned left and right operands) and the shared display and
// name-list behaviour; TxbExpContainer is a parenthesised group.
#include <cstdint>
#include <memory>
#include <string>

#include "tables/index/exp_types.hpp"
#include "tables/index/exp_value.hpp"

namespace tables {

class TxbExpBaseObject {
 public:
  virtual ~TxbExpBaseObject() = default;
  TxbExpBaseObject(const TxbExpBaseObject&) = delete;
  TxbExpBaseObject& operator=(const TxbExpBaseObject&) = delete;

  // Own display text (empty here).
  virtual std::string Name() const;
  // -1 for every node except variables.
  virtual int Kind() const;
  // Display text of the whole subtree: left Text + Name + right Text.
  virtual std::string Text() const;
  // Names of the variables of a kind in the subtree, each followed by ";".
  virtual std::string NamesOfKind(int kind) const;
  // Evaluates the subtree into value and returns the result type.
  virtual std::uint8_t Evaluate(TxbExpValue& value) = 0;

  std::uint8_t ClassCode() const { return classCode_; }
  std::uint8_t ResultType() const { return resultType_; }
  int Width() const { return width_; }
  int Decimals() const { return decimals_; }
  const TxbExpBaseObject* Left() const { return left_.get(); }
  const TxbExpBaseObject* Right() const { return right_.get(); }
  // Levels of nodes below and including this one; the parser bounds it so that evaluation
  // and destruction cannot exhaust the stack.
  int Depth() const { return depth_; }

 protected:
  TxbExpBaseObject(std::uint8_t classCode, std::uint8_t resultType, int width = 0,
                   int decimals = 0);
  void SetOperands(std::unique_ptr<TxbExpBaseObject> left, std::unique_ptr<TxbExpBaseObject> right);
  void SetClassCode(std::uint8_t code) { classCode_ = code; }
  void SetDepth(int depth) { depth_ = depth; }
  std::uint8_t SetResultType(std::uint8_t type) { return resultType_ = type; }
  TxbExpBaseObject* left() { return left_.get(); }
  TxbExpBaseObject* right() { return right_.get(); }

 private:
  std::uint8_t classCode_;
  std::uint8_t resultType_;
  int width_;
  int decimals_;
  int depth_ = 1;
  std::unique_ptr<TxbExpBaseObject> left_;
  std::unique_ptr<TxbExpBaseObject> right_;
};

// A parenthesised group; the inner expression sits in the right-operand slot. An empty group
// evaluates as undefined.
class TxbExpContainer : public TxbExpBaseObject {
 public:
  explicit TxbExpContainer(std::unique_ptr<TxbExpBaseObject> inner);
  std::string Text() const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;
};

}  // namespace tables
