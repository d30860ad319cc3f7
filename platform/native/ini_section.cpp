#include "platform/native/ini_section.hpp"

#include "platform/native/host_path_resolver.hpp"

namespace platform {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

// The name of a "[Section]" line, or nothing when the line is not one.
bool SectionName(std::string_view line, std::string_view& name) {
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.find(']');
  name = Trimmed(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
  return true;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> IniSectionEntries(std::string_view text,
                                                                   std::string_view section) {
  std::vector<std::pair<std::string, std::string>> entries;
  bool inside = false;
  bool seen = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    std::string_view name;
    if (SectionName(line, name)) {
      inside = !seen && SameNameIgnoringCase(name, Trimmed(section));
      seen = seen || inside;
      continue;
    }
    if (!inside || line.empty() || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      entries.emplace_back(std::string(line), std::string());
    } else {
      entries.emplace_back(std::string(Trimmed(line.substr(0, equals))),
                           std::string(Trimmed(line.substr(equals + 1))));
    }
  }
  return entries;
}

}  // namespace platform
