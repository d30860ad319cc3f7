#include "tools/xbtool/arguments.hpp"

#include <algorithm>
#include <charconv>

namespace tools::xbtool {
namespace {

const OptionRule* FindRule(const std::vector<OptionRule>& options, std::string_view name) {
  const auto found = std::find_if(options.begin(), options.end(),
                                  [&](const OptionRule& rule) { return rule.name == name; });
  return found == options.end() ? nullptr : &*found;
}

// "-5" is a (wrong) record number, not an option.
bool LooksLikeOption(std::string_view argument) {
  return argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9');
}

}  // namespace

bool ParsedArguments::Has(std::string_view option) const {
  return options_.find(option) != options_.end();
}

std::optional<std::string> ParsedArguments::Value(std::string_view option) const {
  const auto found = options_.find(option);
  if (found == options_.end() || found->second.empty()) return std::nullopt;
  return found->second.front();
}

std::vector<std::string> ParsedArguments::Values(std::string_view option) const {
  const auto found = options_.find(option);
  return found == options_.end() ? std::vector<std::string>{} : found->second;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                               const std::vector<OptionRule>& options) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || !LooksLikeOption(argument)) {
      parsed.positionals_.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = argument == "-h" ? "--help" : argument;
    std::optional<std::string> value;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionRule* rule = FindRule(options, name);
    if (!rule) throw UsageError("unknown option " + name);
    if (!rule->takesValue && value) throw UsageError(name + " takes no value");
    if (rule->takesValue && !value) {
      if (i + 1 == arguments.size()) throw UsageError(name + " needs a value");
      value = arguments[++i];
    }
    auto& values = parsed.options_[name];
    if (!values.empty() && !rule->repeatable) throw UsageError(name + " is given twice");
    // Flags are recorded with an empty value so that repeated flags are noticed too.
    values.push_back(value.value_or(""));
  }
  return parsed;
}

std::int64_t ParseWholeNumber(std::string_view text, std::string_view what, std::int64_t lowest,
                              std::int64_t highest) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw UsageError(std::string(what) + " must be a whole number, not \"" + std::string(text) +
                     "\"");
  }
  if (value < lowest || value > highest) {
    throw UsageError(std::string(what) + " must be from " + std::to_string(lowest) + " to " +
                     std::to_string(highest) + ", not " + std::string(text));
  }
  return value;
}

}  // namespace tools::xbtool
