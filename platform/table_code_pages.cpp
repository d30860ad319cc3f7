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
  Translate(upper_, text, text, count);
}

void TableCodePages::CharLower(char* text, std::size_t count) {
  Translate(lower_, text, text, count);
}

}  // namespace platform
