#include "tools/xbtool/command_line.hpp"

#include <CLI/CLI.hpp>
#include <utility>

namespace tools::xbtool {
namespace {

constexpr const char* kHelpVerb = "help";

// CLI11 stores the default text for an option given without a value ("--key" and "--key=";
// an empty value is given as "--key \"\""). The default is a text no command-line argument can
// hold.
const std::string kNoValue(1, '\0');

// CLI11 stores "true" for a flag given as "--flag" (and the text for "--flag=text").
constexpr const char* kFlagGiven = "true";

// Every declaration takes each use of an option, so that the checks below name what is wrong.
void Declare(CLI::App& app, const OptionRule& rule) {
  CLI::Option* option = rule.takesValue
                            ? app.add_option(rule.name)->expected(0, 1)->default_str(kNoValue)
                            : app.add_flag(rule.name);
  option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void Declare(CLI::App& app, const PositionalRule& rule) {
  CLI::Option* positional = app.add_option(rule.name);
  if (rule.repeating) {
    positional->expected(0, CLI::detail::expected_max_vector_size)->allow_extra_args();
  }
}

// "-5" is a (wrong) number, not an option.
bool LooksLikeOption(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9');
}

class ToolCommandLine {
 public:
  ToolCommandLine(const std::vector<const Verb*>& verbs,
                  const std::vector<OptionRule>& commonOptions)
      : commonOptions_(commonOptions) {
    // Arguments nothing takes are kept, so that RefuseLeftovers names them as this tool does.
    app_.allow_extras();
    // One verb: a verb's name later on is an argument (a table may be called "info").
    app_.require_subcommand(0, 1);
    for (const OptionRule& rule : commonOptions)
      Declare(app_, rule);
    for (const Verb* verb : verbs)
      AddVerb(*verb);
    helpCommand_ = app_.add_subcommand(kHelpVerb, "show the help of a verb");
    helpCommand_->fallthrough();
    helpCommand_->add_option("VERB");
  }

  CommandLine Parse(const std::vector<std::string>& arguments) {
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
      app_.parse(reversed);
    } catch (const CLI::CallForHelp&) {
      return {SelectedVerb(), true, {}};
    } catch (const CLI::ParseError& error) {
      throw CommandLineError(SelectedVerb(), error.what());
    }
    const Verb* verb = SelectedVerb();
    RefuseLeftovers(verb);
    if (SelectedCommand() == helpCommand_) return HelpRequest();
    CommandLine line{verb, false, {}};
    Collect(app_, commonOptions_, verb, line.arguments);
    if (verb) {
      CLI::App& command = *SelectedCommand();
      Collect(command, verb->options, verb, line.arguments);
      CollectPositionals(command, *verb, line.arguments);
    }
    return line;
  }

 private:
  void AddVerb(const Verb& verb) {
    CLI::App* command = app_.add_subcommand(verb.name, verb.summary);
    // The options every verb takes are the main command's; they may follow the verb too.
    command->fallthrough();
    for (const OptionRule& rule : verb.options)
      Declare(*command, rule);
    for (const PositionalRule& rule : verb.positionals)
      Declare(*command, rule);
    commands_.emplace_back(command, &verb);
  }

  CLI::App* SelectedCommand() {
    const auto selected = app_.get_subcommands();
    return selected.empty() ? nullptr : selected.front();
  }

  const Verb* SelectedVerb() {
    const CLI::App* command = SelectedCommand();
    for (const auto& [candidate, verb] : commands_) {
      if (candidate == command) return verb;
    }
    return nullptr;
  }

  // Arguments no verb, option or positional took: the first one is named.
  void RefuseLeftovers(const Verb* verb) {
    for (const std::string& argument : app_.remaining(true)) {
      if (argument == "--") continue;
      if (LooksLikeOption(argument)) {
        throw CommandLineError(verb, "unknown option " + argument.substr(0, argument.find('=')));
      }
      if (!SelectedCommand()) throw CommandLineError(nullptr, "unknown verb \"" + argument + "\"");
      throw CommandLineError(verb, "unexpected argument \"" + argument + "\"");
    }
  }

  CommandLine HelpRequest() {
    const CLI::Option* named = helpCommand_->get_option("VERB");
    if (named->count() == 0) return {nullptr, true, {}};
    const std::string& name = named->results().front();
    for (const auto& [command, verb] : commands_) {
      if (command->get_name() == name) return {verb, true, {}};
    }
    throw CommandLineError(nullptr, "unknown verb \"" + name + "\"");
  }

  static void Collect(const CLI::App& command, const std::vector<OptionRule>& rules,
                      const Verb* verb, ParsedArguments& arguments) {
    for (const OptionRule& rule : rules) {
      const std::vector<std::string>& values = command.get_option(rule.name)->results();
      if (values.empty()) continue;
      if (values.size() > 1 && !rule.repeatable) {
        throw CommandLineError(verb, rule.name + " is given twice");
      }
      for (const std::string& value : values) {
        if (rule.takesValue && value == kNoValue) {
          throw CommandLineError(verb, rule.name + " needs a value");
        }
        if (!rule.takesValue && value != kFlagGiven) {
          throw CommandLineError(verb, rule.name + " takes no value");
        }
      }
      arguments.AddOption(rule.name,
                          rule.takesValue ? values : std::vector<std::string>(values.size()));
    }
  }

  static void CollectPositionals(const CLI::App& command, const Verb& verb,
                                 ParsedArguments& arguments) {
    for (const PositionalRule& rule : verb.positionals) {
      const std::vector<std::string>& values = command.get_option(rule.name)->results();
      if (values.empty() && rule.required) {
        throw CommandLineError(&verb, rule.name + " is missing");
      }
      for (const std::string& value : values)
        arguments.AddPositional(value);
    }
  }

  CLI::App app_{"", "xbtool"};
  const std::vector<OptionRule>& commonOptions_;
  std::vector<std::pair<const CLI::App*, const Verb*>> commands_;
  CLI::App* helpCommand_ = nullptr;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             const std::vector<const Verb*>& verbs,
                             const std::vector<OptionRule>& commonOptions) {
  return ToolCommandLine(verbs, commonOptions).Parse(arguments);
}

}  // namespace tools::xbtool
