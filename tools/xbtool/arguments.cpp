#include "tools/xbtool/arguments.hpp"

#include <charconv>
#include <utility>

namespace tools::xbtool {

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

void ParsedArguments::AddOption(const std::string& option, std::vector<std::string> values) {
  options_[option] = std::move(values);
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
