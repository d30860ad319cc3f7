#include "tools/xbtool/xbtool_command.hpp"

#include <optional>

#include "tables/storage/xbase_error.hpp"
#include "tools/xbtool/eval_command.hpp"
#include "tools/xbtool/tool_machine.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kCommonHelp =
    "\n"
    "Options of every verb:\n"
    "  --key K        the key of an encrypted table\n"
    "  --codepage N   the code page of the table's texts: 437 (default), 850 or 1252; texts\n"
    "                 are shown and taken in UTF-8\n"
    "  --raw          no code-page conversion: texts are shown and taken as stored\n"
    "  --machine DIR  work on the simulated Windows machine in folder DIR; FILE is then a\n"
    "                 Windows path on it (C:\\DATA\\KVUS.DAT)\n"
    "  --help, -h     show the help\n"
    "\n"
    "Exit status: 0 done, 1 a negative answer (lock: busy), 2 an error.\n";

const std::vector<OptionRule> kCommonOptions = {
    {"--key", true}, {"--codepage", true}, {"--raw"}, {"--machine", true}, {"--help"}};

const std::vector<const Verb*>& Verbs() {
  static const std::vector<const Verb*> verbs = {&InfoVerb(),   &DumpVerb(),   &ExportVerb(),
                                                 &CreateVerb(), &AppendVerb(), &SetVerb(),
                                                 &DeleteVerb(), &RecallVerb(), &LockVerb()};
  return verbs;
}

// Verbs that read their own command line and set up their own machine.
struct OwnVerb {
  const char* name;
  const char* summary;
  int (*run)(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
};

constexpr OwnVerb kOwnVerbs[] = {
    {"eval", "evaluate an expression, alone or on records of a table", RunEvalCommand}};

const OwnVerb* FindOwnVerb(const std::string& name) {
  for (const OwnVerb& verb : kOwnVerbs) {
    if (name == verb.name) return &verb;
  }
  return nullptr;
}

std::string SummaryLine(const std::string& name, const char* summary) {
  return "  " + name + std::string(9 - name.size(), ' ') + summary + "\n";
}

const Verb* FindVerb(const std::string& name) {
  for (const Verb* verb : Verbs()) {
    if (name == verb->name) return verb;
  }
  return nullptr;
}

std::string Usage() {
  std::string usage =
      "Usage: xbtool VERB FILE [ARGUMENTS] [OPTIONS]\n"
      "\n"
      "Looks at and changes xBase tables (.DBF and the product's .DAT tables) with their\n"
      "memo files. FILE names the table; \".DBF\" is added when it has no extension.\n"
      "\n"
      "Verbs:\n";
  for (const Verb* verb : Verbs())
    usage += SummaryLine(verb->name, verb->summary);
  for (const OwnVerb& verb : kOwnVerbs)
    usage += SummaryLine(verb.name, verb.summary);
  usage += "\nRun \"xbtool VERB --help\" for the arguments of one verb.\n";
  return usage + kCommonHelp;
}

// The position of the verb: the first argument that is neither an option nor the value of
// one of the common options that take values.
std::optional<std::size_t> VerbPosition(const std::vector<std::string>& arguments) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.empty() || argument[0] != '-') return i;
    for (const OptionRule& option : kCommonOptions) {
      if (option.takesValue && argument == option.name) ++i;
    }
  }
  return std::nullopt;
}

int RunVerb(const Verb& verb, const std::vector<std::string>& arguments, std::ostream& out,
            std::ostream& err) {
  std::vector<OptionRule> options = kCommonOptions;
  options.insert(options.end(), verb.options.begin(), verb.options.end());
  const ParsedArguments parsed = ParseArguments(arguments, options);
  if (parsed.Has("--help")) {
    out << verb.help << kCommonHelp;
    return kExitSuccess;
  }
  const TextCodec codec = TextCodec::FromOptions(parsed);
  ToolMachine machine(parsed.Value("--machine"));
  VerbContext context{parsed,
                      codec,
                      codec.ToTable(parsed.Value("--key").value_or("")),
                      machine.machine(),
                      !machine.simulated(),
                      out,
                      err};
  return verb.run(context);
}

// Runs the verb; every failure becomes its message on err and exit status 2.
int RunGuarded(const Verb& verb, const std::vector<std::string>& arguments, std::ostream& out,
               std::ostream& err) {
  const std::string prefix = "xbtool " + std::string(verb.name) + ": ";
  try {
    return RunVerb(verb, arguments, out, err);
  } catch (const UsageError& error) {
    err << prefix << error.what() << "\nRun \"xbtool " << verb.name << " --help\" for help.\n";
  } catch (const tables::EXbaseEncryption& error) {
    err << prefix << error.what() << '\n';
    if (error.code() == tables::xb_code::NoPassword) {
      err << prefix << "the table is encrypted; give its key with --key\n";
    }
  } catch (const std::exception& error) {
    err << prefix << error.what() << '\n';
  }
  out.flush();
  return kExitError;
}

}  // namespace

int RunXbtool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const auto position = VerbPosition(arguments);
  if (!position) {
    const bool help = !arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h");
    (help ? out : err) << Usage();
    return help ? kExitSuccess : kExitError;
  }
  std::string name = arguments[*position];
  std::vector<std::string> rest = arguments;
  rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(*position));
  if (name == "help") {
    if (rest.empty()) {
      out << Usage();
      return kExitSuccess;
    }
    name = rest[0];
    rest = {"--help"};
  }
  if (const OwnVerb* own = FindOwnVerb(name)) return own->run(rest, out, err);
  const Verb* verb = FindVerb(name);
  if (!verb) {
    err << "xbtool: unknown verb \"" << name << "\"\n" << Usage();
    return kExitError;
  }
  return RunGuarded(*verb, rest, out, err);
}

}  // namespace tools::xbtool
