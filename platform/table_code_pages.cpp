#include <cstdint>
#include <cstring>

#include "platform/code_page_tables.hpp"
#include "platform/code_pages.hpp"
#include "platform/exception.hpp"

namespace platform {
namespace {

const code_page_tables::CodePageTable& RequireTable(std::uint32_t codePage) {
  for (const auto& table : code_page_tables::kCodePages)
    if (table.codePage == codePage) return table;
  throw Exception("Code page " + std::to_string(codePage) + " is not supported");
}

void Translate(const std::uint8_t (&map)[256], const char* source, char* target,
               std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    target[i] = static_cast<char>(map[static_cast<std::uint8_t>(source[i])]);
}

// Casing in place. Text fields are mostly trailing blanks, which casing leaves as they are:
// they are found eight at a time and not translated.
void TranslateInPlace(const std::uint8_t (&map)[256], char* text, std::size_t count) {
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020;
  std::size_t end = count;
  if (map[static_cast<std::uint8_t>(' ')] == ' ') {
    for (std::uint64_t word = 0; end >= sizeof word; end -= sizeof word) {
      std::memcpy(&word, text + end - sizeof word, sizeof word);
      if (word != kEightBlanks) break;
    }
  }
  Translate(map, text, text, end);
}

}  // namespace

TableCodePages::TableCodePages(std::uint32_t ansiCodePage, std::uint32_t oemCodePage) {
  const auto& ansi = RequireTable(ansiCodePage);
  const auto& oem = RequireTable(oemCodePage);
  for (int byte = 0; byte < 256; ++byte) {
    toOem_[byte] = UnicodeToCodePage(oemCodePage, ansi.toUnicode[byte]);
    toAnsi_[byte] = UnicodeToCodePage(ansiCodePage, oem.toUnicode[byte]);
    upper_[byte] = ansi.upper[byte];
    lower_[byte] = ansi.lower[byte];
  }
}

void TableCodePages::CharToOem(const char* source, char* target, std::size_t count) {
  Translate(toOem_, source, target, count);
}

void TableCodePages::OemToChar(const char* source, char* target, std::size_t count) {
  Translate(toAnsi_, source, target, count);
}

void TableCodePages::CharUpper(char* text, std::size_t count) {
  TranslateInPlace(upper_, text, count);
}

void TableCodePages::CharLower(char* text, std::size_t count) {
  TranslateInPlace(lower_, text, count);
}

}  // namespace platform
