#pragma once
// INI text as people write it: "[Section]" lines, "key=value" lines, ";" comments. The
// simulated machine's own files (machine.ini, processes.ini) are read strictly, naming the file
// and line of anything malformed; INI files of programs are read the lenient Windows way.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct IniEntry {
  std::string key;
  std::string value;
  int line = 0;
};

struct IniSection {
  std::string name;
  int line = 0;
  std::vector<IniEntry> entries;

  // The first entry of that key (compared without regard to case), or null.
  const IniEntry* Find(std::string_view key) const;
  void Add(std::string key, std::string value) {
    entries.push_back({std::move(key), std::move(value), 0});
  }
};

struct IniDocument {
  std::vector<IniSection> sections;

  // The first section of that name (compared without regard to case), or null.
  const IniSection* Find(std::string_view name) const;
  IniSection& AddSection(std::string name);
  // Sections and entries in order, CR LF line ends, a blank line between sections.
  std::string Write(std::string_view leadingComment = {}) const;
};

// Strict: every line is a section, an entry, a comment or blank; an entry needs a section
// before it. Throws platform::Exception "<source>, line N: ...".
IniDocument ParseIni(std::string_view text, std::string_view source);
// Lenient, as GetPrivateProfileSection reads: a section name ends at its last "]" (or at the end
// of the line when it has none), a line without "=" is an entry with an empty value, lines before
// the first section are ignored, nothing is an error.
IniDocument ParseIniLenient(std::string_view text);
// The key=value pairs of the first section of that name, read leniently, in file order.
std::vector<std::pair<std::string, std::string>> IniSectionEntries(std::string_view text,
                                                                   std::string_view section);

// ASCII-only case-insensitive comparison, as section and key names of INI files use.
bool SameIniName(std::string_view a, std::string_view b);

// A number written decimal or "0x" hexadecimal, as the machine's files allow; nothing when the
// text is not one or does not fit 32 bits.
std::optional<std::uint32_t> ParseIniNumber(std::string_view text);
// "0x" and eight upper-case hexadecimal digits.
std::string IniHex(std::uint32_t value);

}  // namespace platform
