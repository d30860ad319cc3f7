#pragma once
// Nodes that reach beyond the tree: a function call (TxbExpFunction) and a variable
// (TxbExpFieldvar). Functions and variables belong to their registries; nodes only refer to
// them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tables/index/exp_node.hpp"
#include "tables/index/exp_registry.hpp"

namespace tables {

class TxbExpHandler;

class TxbExpFunction : public TxbExpBaseObject {
 public:
  // An absent argument (nothing between two commas) is held as nullptr.
  // The machine gives functions their casing, dates and decimal separator.
  TxbExpFunction(platform::Machine& machine, TxbExpHandler* handler, TxbUserDefFunction& function,
                 std::vector<std::unique_ptr<TxbExpBaseObject>> arguments);

  // The function's name.
  std::string Name() const override;
  // Name + "(" + argument texts joined by "," + ")".
  std::string Text() const override;
  std::string NamesOfKind(int kind) const override;
  std::uint8_t Evaluate(TxbExpValue& value) override;

  // Evaluates argument index (from 0) into value and returns its type. Raises "%s needed for
  // Argument %d of %s" when the expected type lies outside the numeric family and the actual
  // type inside it (unless expected is Any or equal); other mismatches are left to the
  // function's conversion. An argument that was not given returns Undefined and leaves value
  // as it was.
  std::uint8_t GetArgument(int index, std::uint8_t expected, TxbExpValue& value);
  // As GetArgument for an argument the function cannot do without: one that was not given
  // raises the argument message.
  std::uint8_t RequireArgument(int index, std::uint8_t expected, TxbExpValue& value);
  bool HasArgument(int index) const;
  int ArgumentCount() const { return static_cast<int>(arguments_.size()); }

  // Values a function may use while it evaluates this call (two per call).
  TxbExpValue& Scratch(int index) { return scratch_.at(static_cast<std::size_t>(index)); }
  // A byte area kept with this call for functions that need one; sized on first request.
  std::vector<char>& WorkArea(std::size_t size);

  TxbExpHandler* Handler() const { return handler_; }
  TxbUserDefFunction& Function() const { return function_; }
  platform::Machine& machine() const { return machine_; }

 private:
  platform::Machine& machine_;
  TxbExpHandler* handler_;
  TxbUserDefFunction& function_;
  std::vector<std::unique_ptr<TxbExpBaseObject>> arguments_;
  std::array<TxbExpValue, 2> scratch_;
  std::vector<char> workArea_;
};

class TxbExpFieldvar : public TxbExpBaseObject {
 public:
  TxbExpFieldvar(TxbExpHandler* handler, TxbUserDefFieldVar& variable);
  std::string Name() const override;
  int Kind() const override;
  // The variable's value; undefined when it declines to give one.
  std::uint8_t Evaluate(TxbExpValue& value) override;

  TxbExpHandler* Handler() const { return handler_; }
  TxbUserDefFieldVar& Variable() const { return variable_; }

 private:
  TxbExpHandler* handler_;
  TxbUserDefFieldVar& variable_;
};

}  // namespace tables
