#pragma once
// The fixed tables behind the code-page functions, generated once by code_page_tables.py.
#include <cstddef>
#include <cstdint>

namespace platform::code_page_tables {

struct CodePageTable {
  std::uint32_t codePage;
  char32_t toUnicode[256];  // 0xFFFD where the byte has no character
  std::uint8_t upper[256];  // the byte of the character's capital, or the byte itself
  std::uint8_t lower[256];
};

// A character and the one it is built on (its first canonical decomposition part), sorted by
// character: what Windows' best fit falls back to when a code page lacks the character.
struct BestFitPair {
  char32_t character;
  char32_t base;
};

inline constexpr std::size_t kCodePageCount = 3;
inline constexpr std::size_t kBestFitCount = 497;
extern const CodePageTable kCodePages[kCodePageCount];
extern const BestFitPair kBestFit[kBestFitCount];

}  // namespace platform::code_page_tables
