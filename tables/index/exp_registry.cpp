#include "tables/index/exp_registry.hpp"

#include "tables/index/exp_errors.hpp"
#include "tables/index/exp_types.hpp"

namespace tables {

std::string_view TxbUserDefFunction::Name() const {
  return {};
}

bool TxbUserDefFunction::Execute(TxbExpFunction&, TxbExpValue&, std::uint8_t&) {
  return false;
}

TxbUserDefFieldVar::TxbUserDefFieldVar(platform::CodePages& casing, std::string_view name,
                                       int width)
    : name_(casing.Upper(name)), width_(width) {}

std::string_view TxbUserDefFieldVar::Name() const {
  return name_;
}

int TxbUserDefFieldVar::Kind() const {
  return kKindUserVariable;
}

bool TxbUserDefFieldVar::Value(TxbExpValue&, std::uint8_t&) {
  return false;
}

TxbUserDefFunction& TxbFunctionReg::Add(std::unique_ptr<TxbUserDefFunction> function) {
  functions_.push_back(std::move(function));
  return *functions_.back();
}

TxbUserDefFunction* TxbFunctionReg::Find(std::string_view name) const {
  for (const auto& function : functions_) {
    if (function->Name() == name) return function.get();
  }
  return nullptr;
}

TxbUserDefFieldVar& TxbFieldVarReg::Add(std::unique_ptr<TxbUserDefFieldVar> variable) {
  variables_.push_back(std::move(variable));
  return *variables_.back();
}

TxbUserDefFieldVar* TxbFieldVarReg::Find(std::string_view name) const {
  for (const auto& variable : variables_) {
    if (variable->Name() == name) return variable.get();
  }
  return nullptr;
}

TxbUserDefFunction* TxbExpUserLink::FindFunction(std::string_view name) {
  return functions_.Find(name);
}

TxbUserDefFieldVar* TxbExpUserLink::FindFieldVar(std::string_view name) {
  return fieldVars_.Find(name);
}

TxbUserDefFunction* TxbExpUserLink::UnknownFunction(std::string_view name) {
  RaiseNoFunction(name);
}

platform::Machine* TxbExpUserLink::LinkedMachine() const {
  return nullptr;
}

TxbUserDefFunction& TxbExpUserLink::AddFunction(std::unique_ptr<TxbUserDefFunction> function) {
  return functions_.Add(std::move(function));
}

TxbUserDefFieldVar& TxbExpUserLink::AddFieldVar(std::unique_ptr<TxbUserDefFieldVar> variable) {
  return fieldVars_.Add(std::move(variable));
}

}  // namespace tables
