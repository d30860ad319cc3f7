#pragma once
// The command line of one xbtool verb: options (each declared by the verb) and positional
// arguments. Options may stand before, between and after the positionals, as "--name value"
// or "--name=value"; "--" ends the options.
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

class ParsedArguments {
 public:
  const std::vector<std::string>& positionals() const { return positionals_; }
  bool Has(std::string_view option) const;
  // The value of an option given once; nothing when it was not given.
  std::optional<std::string> Value(std::string_view option) const;
  // Every value of a repeatable option, in command-line order.
  std::vector<std::string> Values(std::string_view option) const;

 private:
  friend ParsedArguments ParseArguments(const std::vector<std::string>&,
                                        const std::vector<OptionRule>&);
  std::vector<std::string> positionals_;
  std::map<std::string, std::vector<std::string>, std::less<>> options_;
};

// "-h" stands for "--help". Unknown options, a missing value and an option given twice that
// is not repeatable are UsageErrors.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                               const std::vector<OptionRule>& options);

// Whole numbers of the command line; UsageError naming what for a text that is none or out
// of range.
std::int64_t ParseWholeNumber(std::string_view text, std::string_view what, std::int64_t lowest,
                              std::int64_t highest);

}  // namespace tools::xbtool
