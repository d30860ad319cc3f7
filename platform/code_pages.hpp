#pragma once
// Code-page conversion and ANSI casing (user32's CharToOemBuffA, OemToCharBuffA,
// CharUpperBuffA, CharLowerBuffA) for the machine's ANSI and OEM code pages.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class CodePages {
 public:
  virtual ~CodePages() = default;
  // Source and target may be the same buffer.
  virtual void CharToOem(const char* source, char* target, std::size_t count) = 0;
  virtual void OemToChar(const char* source, char* target, std::size_t count) = 0;
  virtual void CharUpper(char* text, std::size_t count) = 0;
  virtual void CharLower(char* text, std::size_t count) = 0;

  std::string Upper(std::string_view text);
  std::string Lower(std::string_view text);
};

// Fixed tables of the code pages the platform knows (1252, 437, 850 at least).
bool KnownCodePage(std::uint32_t codePage);
// Bytes of a code page <-> Unicode scalar values (0xFFFD where a byte has no character).
char32_t CodePageToUnicode(std::uint32_t codePage, std::uint8_t byte);
// The byte for a character, with Windows' best fit; '?' when there is none.
std::uint8_t UnicodeToCodePage(std::uint32_t codePage, char32_t character);
// UTF-8 <-> a code page, for tools that talk to a UTF-8 terminal.
std::string CodePageToUtf8(std::uint32_t codePage, std::string_view text);
std::string Utf8ToCodePage(std::uint32_t codePage, std::string_view text);

// CodePages over the fixed tables for one ANSI/OEM pair.
class TableCodePages : public CodePages {
 public:
  TableCodePages(std::uint32_t ansiCodePage, std::uint32_t oemCodePage);
  void CharToOem(const char* source, char* target, std::size_t count) override;
  void OemToChar(const char* source, char* target, std::size_t count) override;
  void CharUpper(char* text, std::size_t count) override;
  void CharLower(char* text, std::size_t count) override;

 private:
  std::uint8_t toOem_[256];
  std::uint8_t toAnsi_[256];
  std::uint8_t upper_[256];
  std::uint8_t lower_[256];
};

}  // namespace platform
