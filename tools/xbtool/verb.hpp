#pragma once
// One xbtool verb: its name, help and options, and the function that runs it once the command
// line is parsed, the machine installed and the engine started.
#include <ostream>
#include <string>
#include <vector>

#include "platform/machine.hpp"
#include "tools/xbtool/arguments.hpp"
#include "tools/xbtool/text_codec.hpp"

namespace tools::xbtool {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNegative = 1;  // "busy" and other negative answers
inline constexpr int kExitError = 2;

struct VerbContext {
  const ParsedArguments& arguments;
  const TextCodec& codec;
  std::string key;  // the table key converted into the code page; empty for a plain table
  platform::Machine& machine;
  bool hostMachine;  // FILE names are host paths (no simulated machine)
  std::ostream& out;
  std::ostream& err;
};

struct Verb {
  const char* name;
  const char* summary;  // one line for the overview
  const char* help;     // the verb's own help text
  std::vector<PositionalRule> positionals;
  std::vector<OptionRule> options;  // besides the options every verb takes
  int (*run)(VerbContext& context);
};

const Verb& InfoVerb();
const Verb& DumpVerb();
const Verb& ExportVerb();
const Verb& CreateVerb();
const Verb& AppendVerb();
const Verb& SetVerb();
const Verb& DeleteVerb();
const Verb& RecallVerb();
const Verb& LockVerb();
const Verb& EvalVerb();
const Verb& TagsVerb();
const Verb& WalkVerb();
const Verb& SeekVerb();
const Verb& VerifyVerb();
const Verb& IndexVerb();
const Verb& ReindexVerb();
const Verb& DropTagVerb();
const Verb& GetVerb();
const Verb& FilterVerb();
const Verb& RekeyVerb();

}  // namespace tools::xbtool
