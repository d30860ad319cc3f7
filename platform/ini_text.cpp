#include "platform/ini_text.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/exception.hpp"

namespace platform {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

template <typename OnLine>
void ForEachLine(std::string_view text, OnLine onLine) {
  int number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    onLine(++number, Trim(text.substr(0, end)));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

IniDocument Parse(std::string_view text, std::string_view source, bool strict) {
  IniDocument document;
  auto fail = [&](int line, const std::string& message) {
    throw Exception(std::string(source) + ", line " + std::to_string(line) + ": " + message);
  };
  ForEachLine(text, [&](int number, std::string_view line) {
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') {
      if (strict && line.back() != ']') fail(number, "a section line must end with \"]\"");
      const std::string_view name = line.substr(1, line.rfind(']') - 1);  // all when none
      document.AddSection(std::string(Trim(name))).line = number;
      return;
    }
    if (document.sections.empty()) {
      if (strict) fail(number, "an entry comes before any [section] line");
      return;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos && strict)
      fail(number, "\"key=value\" expected, found \"" + std::string(line) + "\"");
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty() && strict) fail(number, "an entry without a key");
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : Trim(line.substr(equals + 1));
    document.sections.back().entries.push_back({std::string(key), std::string(value), number});
  });
  return document;
}

}  // namespace

bool SameIniName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

const IniEntry* IniSection::Find(std::string_view key) const {
  for (const auto& entry : entries)
    if (SameIniName(entry.key, key)) return &entry;
  return nullptr;
}

const IniSection* IniDocument::Find(std::string_view name) const {
  for (const auto& section : sections)
    if (SameIniName(section.name, name)) return &section;
  return nullptr;
}

IniSection& IniDocument::AddSection(std::string name) {
  sections.push_back(IniSection{std::move(name), 0, {}});
  return sections.back();
}

std::string IniDocument::Write(std::string_view leadingComment) const {
  std::string out;
  ForEachLine(leadingComment, [&](int, std::string_view line) {
    out += "; ";
    out += line;
    out += "\r\n";
  });
  for (const auto& section : sections) {
    if (!out.empty()) out += "\r\n";
    out += "[" + section.name + "]\r\n";
    for (const auto& entry : section.entries)
      out += entry.key + "=" + entry.value + "\r\n";
  }
  return out;
}

IniDocument ParseIni(std::string_view text, std::string_view source) {
  return Parse(text, source, true);
}

IniDocument ParseIniLenient(std::string_view text) {
  return Parse(text, {}, false);
}

std::vector<std::pair<std::string, std::string>> IniSectionEntries(std::string_view text,
                                                                   std::string_view section) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const IniDocument document = ParseIniLenient(text);
  if (const IniSection* found = document.Find(section))  // the first of that name, as Windows
    for (const auto& entry : found->entries)
      pairs.emplace_back(entry.key, entry.value);
  return pairs;
}

std::optional<std::uint32_t> ParseIniNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string IniHex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

}  // namespace platform
