#include "tables/index/exp_call.hpp"

#include <algorithm>

#include "tables/index/exp_errors.hpp"

namespace tables {

TxbExpFunction::TxbExpFunction(platform::Machine& machine, TxbExpHandler* handler,
                               TxbUserDefFunction& function,
                               std::vector<std::unique_ptr<TxbExpBaseObject>> arguments)
    : TxbExpBaseObject(xb_node::Function, xb_type::Undefined),
      machine_(machine),
      handler_(handler),
      function_(function),
      arguments_(std::move(arguments)) {
  int deepest = 0;
  for (const auto& argument : arguments_) {
    if (argument) deepest = std::max(deepest, argument->Depth());
  }
  SetDepth(deepest + 1);
}

std::string TxbExpFunction::Name() const {
  return std::string(function_.Name());
}

std::string TxbExpFunction::Text() const {
  std::string text = Name() + "(";
  for (std::size_t i = 0; i < arguments_.size(); ++i) {
    if (i > 0) text += ",";
    if (arguments_[i]) text += arguments_[i]->Text();
  }
  return text + ")";
}

std::string TxbExpFunction::NamesOfKind(int kind) const {
  std::string names;
  for (const auto& argument : arguments_) {
    if (argument) names += argument->NamesOfKind(kind);
  }
  return names;
}

std::uint8_t TxbExpFunction::Evaluate(TxbExpValue& value) {
  std::uint8_t type = xb_type::Undefined;
  if (!function_.Execute(*this, value, type)) {
    value.Clear();
    type = xb_type::Undefined;
  }
  return SetResultType(type);
}

bool TxbExpFunction::HasArgument(int index) const {
  return index >= 0 && index < ArgumentCount() && arguments_[static_cast<std::size_t>(index)];
}

std::uint8_t TxbExpFunction::GetArgument(int index, std::uint8_t expected, TxbExpValue& value) {
  if (!HasArgument(index)) return xb_type::Undefined;
  std::uint8_t actual = arguments_[static_cast<std::size_t>(index)]->Evaluate(value);
  if (expected != xb_type::Any && expected != actual && !IsNumericType(expected) &&
      IsNumericType(actual)) {
    RaiseArgumentType(expected, index + 1, function_.Name());
  }
  return actual;
}

std::uint8_t TxbExpFunction::RequireArgument(int index, std::uint8_t expected, TxbExpValue& value) {
  if (!HasArgument(index)) RaiseArgumentType(expected, index + 1, function_.Name());
  return GetArgument(index, expected, value);
}

std::vector<char>& TxbExpFunction::WorkArea(std::size_t size) {
  if (workArea_.size() < size) workArea_.resize(size);
  return workArea_;
}

TxbExpFieldvar::TxbExpFieldvar(TxbExpHandler* handler, TxbUserDefFieldVar& variable)
    : TxbExpBaseObject(xb_node::Variable, xb_type::Undefined, variable.Width()),
      handler_(handler),
      variable_(variable) {}

std::string TxbExpFieldvar::Name() const {
  return std::string(variable_.Name());
}

int TxbExpFieldvar::Kind() const {
  return variable_.Kind();
}

std::uint8_t TxbExpFieldvar::Evaluate(TxbExpValue& value) {
  std::uint8_t type = xb_type::Undefined;
  if (!variable_.Value(value, type)) {
    value.Clear();
    type = xb_type::Undefined;
  }
  return SetResultType(type);
}

}  // namespace tables
