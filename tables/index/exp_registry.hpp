#pragma once
// The extension points of the language: function objects, variables, their registries and
// the user link through which a handler reaches a context (a table, an application).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/exp_value.hpp"

namespace tables {

class TxbExpFunction;

// A function of the language. Execute evaluates one call (fetching the arguments through the
// call node) and returns true, or returns false so that the call's type becomes undefined.
class TxbUserDefFunction {
 public:
  virtual ~TxbUserDefFunction() = default;
  // Upper-case name; a handler finds it only by an exact match.
  virtual std::string_view Name() const;
  virtual bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type);
};

// A variable of the language, named with the copy of the name it was made with, upper-cased
// with the casing given.
class TxbUserDefFieldVar {
 public:
  TxbUserDefFieldVar(platform::CodePages& casing, std::string_view name, int width = 0);
  virtual ~TxbUserDefFieldVar() = default;
  virtual std::string_view Name() const;
  // 16 here; table fields are 17.
  virtual int Kind() const;
  // Produces the value and returns true, or returns false (as here) for no value.
  virtual bool Value(TxbExpValue& value, std::uint8_t& type);
  int Width() const { return width_; }

 private:
  std::string name_;
  int width_;
};

// An owning list of functions; lookup is an exact byte comparison in list order.
class TxbFunctionReg {
 public:
  TxbUserDefFunction& Add(std::unique_ptr<TxbUserDefFunction> function);
  TxbUserDefFunction* Find(std::string_view name) const;
  std::size_t Count() const { return functions_.size(); }
  TxbUserDefFunction& At(std::size_t index) const { return *functions_.at(index); }

 private:
  std::vector<std::unique_ptr<TxbUserDefFunction>> functions_;
};

// An owning list of variables; lookup is an exact byte comparison in list order.
class TxbFieldVarReg {
 public:
  TxbUserDefFieldVar& Add(std::unique_ptr<TxbUserDefFieldVar> variable);
  TxbUserDefFieldVar* Find(std::string_view name) const;
  std::size_t Count() const { return variables_.size(); }
  TxbUserDefFieldVar& At(std::size_t index) const { return *variables_.at(index); }

 private:
  std::vector<std::unique_ptr<TxbUserDefFieldVar>> variables_;
};

// Connects handlers to a context: its own functions and variables and the STR default width.
class TxbExpUserLink {
 public:
  static constexpr int kDefaultStrWidth = 10;

  virtual ~TxbExpUserLink() = default;
  // The link's function of that name, or nullptr.
  virtual TxbUserDefFunction* FindFunction(std::string_view name);
  // The link's variable of that name, or nullptr.
  virtual TxbUserDefFieldVar* FindFieldVar(std::string_view name);
  // Asked for a name no registry knows; raises "There is no function for %s" here.
  virtual TxbUserDefFunction* UnknownFunction(std::string_view name);
  // The machine of what the link connects to (a table's), or nullptr when it has none.
  virtual platform::Machine* LinkedMachine() const;

  TxbUserDefFunction& AddFunction(std::unique_ptr<TxbUserDefFunction> function);
  TxbUserDefFieldVar& AddFieldVar(std::unique_ptr<TxbUserDefFieldVar> variable);

  const TxbFunctionReg& Functions() const { return functions_; }
  const TxbFieldVarReg& FieldVars() const { return fieldVars_; }
  int StrDefaultWidth() const { return strDefaultWidth_; }
  void SetStrDefaultWidth(int width) { strDefaultWidth_ = width; }

 private:
  TxbFunctionReg functions_;
  TxbFieldVarReg fieldVars_;
  int strDefaultWidth_ = kDefaultStrWidth;
};

}  // namespace tables
