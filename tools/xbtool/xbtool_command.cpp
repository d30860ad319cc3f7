#include "tools/xbtool/xbtool_command.hpp"

#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tools/xbtool/command_line.hpp"
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
    {"--key", true}, {"--codepage", true}, {"--raw"}, {"--machine", true}};

const std::vector<const Verb*>& Verbs() {
  static const std::vector<const Verb*> verbs = {
      &InfoVerb(),    &DumpVerb(),    &ExportVerb(), &CreateVerb(), &AppendVerb(),
      &SetVerb(),     &DeleteVerb(),  &RecallVerb(), &LockVerb(),   &EvalVerb(),
      &TagsVerb(),    &WalkVerb(),    &SeekVerb(),   &VerifyVerb(), &IndexVerb(),
      &ReindexVerb(), &DropTagVerb(), &FilterVerb(), &RekeyVerb(),  &GetVerb()};
  return verbs;
}

std::string SummaryLine(const std::string& name, const char* summary) {
  return "  " + name + std::string(9 - name.size(), ' ') + summary + "\n";
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
  usage += "\nRun \"xbtool VERB --help\" for the arguments of one verb.\n";
  return usage + kCommonHelp;
}

void ReportUsageError(const Verb& verb, const std::string& message, std::ostream& err) {
  err << "xbtool " << verb.name << ": " << message << "\nRun \"xbtool " << verb.name
      << " --help\" for help.\n";
}

int RunVerb(const Verb& verb, const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
  const TextCodec codec = TextCodec::FromOptions(parsed);
  ToolMachine machine(parsed.Value("--machine"));
  // Table handlers evaluate keys and filters in every verb that opens one.
  const tables::TxbExpEngineScope expressions;
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
int RunGuarded(const Verb& verb, const ParsedArguments& arguments, std::ostream& out,
               std::ostream& err) {
  const std::string prefix = "xbtool " + std::string(verb.name) + ": ";
  try {
    return RunVerb(verb, arguments, out, err);
  } catch (const UsageError& error) {
    ReportUsageError(verb, error.what(), err);
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
  CommandLine line;
  try {
    line = ParseCommandLine(arguments, Verbs(), kCommonOptions);
  } catch (const CommandLineError& error) {
    if (error.verb()) {
      ReportUsageError(*error.verb(), error.what(), err);
    } else {
      err << "xbtool: " << error.what() << '\n' << Usage();
    }
    return kExitError;
  }
  if (line.help) {
    out << (line.verb ? std::string(line.verb->help) + kCommonHelp : Usage());
    return kExitSuccess;
  }
  if (!line.verb) {
    err << Usage();
    return kExitError;
  }
  return RunGuarded(*line.verb, line.arguments, out, err);
}

}  // namespace tools::xbtool
