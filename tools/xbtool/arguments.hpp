#pragma once
// The command line of one xbtool verb as the verb reads it: the options it was given (each
// declared by the verb or common to every verb) and its positional arguments.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exception.hpp"

namespace tools::xbtool {

// A command line the tool cannot take; the message says what is wrong.
class UsageError : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

struct OptionRule {
  std::string name;  // with its dashes: "--key"
  bool takesValue = false;
  bool repeatable = false;
};

struct PositionalRule {
  std::string name;  // as help and messages show it: "FILE"
  bool required = true;
  bool repeating = false;  // takes every remaining argument
};

class ParsedArguments {
 public:
  const std::vector<std::string>& positionals() const { return positionals_; }
  bool Has(std::string_view option) const;
  // The value of an option given once; nothing when it was not given.
  std::optional<std::string> Value(std::string_view option) const;
  // Every value of a repeatable option, in command-line order.
  std::vector<std::string> Values(std::string_view option) const;

  void AddPositional(std::string argument) { positionals_.push_back(std::move(argument)); }
  // values: one per time the option was given (empty texts for a flag).
  void AddOption(const std::string& option, std::vector<std::string> values);

 private:
  std::vector<std::string> positionals_;
  std::map<std::string, std::vector<std::string>, std::less<>> options_;
};

// Whole numbers of the command line; UsageError naming what for a text that is none or out
// of range.
std::int64_t ParseWholeNumber(std::string_view text, std::string_view what, std::int64_t lowest,
                              std::int64_t highest);

}  // namespace tools::xbtool
