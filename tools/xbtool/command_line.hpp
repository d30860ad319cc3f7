#pragma once
// The xbtool command line, parsed by CLI11: each verb is a subcommand with its own options and
// positional arguments, the options every verb takes may also stand before the verb, "--name
// value" and "--name=value" both work and "--" ends the options. "help" and "help VERB" ask
// for help as --help does.
#include <string>
#include <vector>

#include "tools/xbtool/arguments.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {

struct CommandLine {
  const Verb* verb = nullptr;  // nothing: no verb was given
  bool help = false;           // help asked for: the verb's, or the overview without a verb
  ParsedArguments arguments;   // the verb's options, the common ones included
};

// A command line the tool cannot take, with the verb it was meant for (nothing when it failed
// before a verb was known).
class CommandLineError : public UsageError {
 public:
  CommandLineError(const Verb* verb, const std::string& message)
      : UsageError(message), verb_(verb) {}
  const Verb* verb() const { return verb_; }

 private:
  const Verb* verb_;
};

// Unknown verbs and options, a missing value, an option given twice that is not repeatable, a
// value for an option that takes none, too few and too many positionals are
// CommandLineErrors.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<const Verb*>& verbs,
                             const std::vector<OptionRule>& commonOptions);

}  // namespace tools::xbtool
