#include "platform/code_pages.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/code_page_tables.hpp"
#include "platform/exception.hpp"

namespace platform {
namespace {

using code_page_tables::CodePageTable;

constexpr char32_t kNoCharacter = 0xFFFD;

const CodePageTable* FindTable(std::uint32_t codePage) {
  for (const auto& table : code_page_tables::kCodePages)
    if (table.codePage == codePage) return &table;
  return nullptr;
}

const CodePageTable& TableOf(std::uint32_t codePage) {
  const CodePageTable* table = FindTable(codePage);
  if (!table) throw Exception("Code page " + std::to_string(codePage) + " is not supported");
  return *table;
}

// Character -> byte of one code page, sorted by character for binary search.
class ReverseTable {
 public:
  explicit ReverseTable(const CodePageTable& table) {
    std::size_t count = 0;
    for (int byte = 0; byte < 256; ++byte) {
      if (table.toUnicode[byte] == kNoCharacter) continue;
      entries_[count++] = {table.toUnicode[byte], static_cast<std::uint8_t>(byte)};
    }
    std::stable_sort(entries_.begin(), entries_.begin() + count,
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    size_ = count;
  }

  bool Find(char32_t character, std::uint8_t& byte) const {
    auto end = entries_.begin() + size_;
    auto found = std::lower_bound(entries_.begin(), end, character,
                                  [](const auto& entry, char32_t c) { return entry.first < c; });
    if (found == end || found->first != character) return false;
    byte = found->second;
    return true;
  }

 private:
  std::array<std::pair<char32_t, std::uint8_t>, 256> entries_{};
  std::size_t size_ = 0;
};

const ReverseTable& ReverseOf(std::uint32_t codePage) {
  static const auto tables = [] {
    std::array<ReverseTable, code_page_tables::kCodePageCount> result = {
        ReverseTable(code_page_tables::kCodePages[0]),
        ReverseTable(code_page_tables::kCodePages[1]),
        ReverseTable(code_page_tables::kCodePages[2])};
    return result;
  }();
  const CodePageTable& table = TableOf(codePage);
  return tables[&table - code_page_tables::kCodePages];
}

// The character a Latin letter is built on, or 0 when it is not built on another.
char32_t BaseCharacter(char32_t character) {
  const auto* begin = code_page_tables::kBestFit;
  const auto* end = begin + code_page_tables::kBestFitCount;
  const auto* found = std::lower_bound(
      begin, end, character, [](const auto& pair, char32_t c) { return pair.character < c; });
  return (found != end && found->character == character) ? found->base : 0;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `pos`, moving past it; a malformed sequence gives 0xFFFD and
// moves past the bytes that belonged to it.
char32_t NextUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<std::uint8_t>(text[pos]);
  int extra = 0;
  char32_t c = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, c = lead & 0x07;
  } else {
    ++pos;
    return kNoCharacter;
  }
  if (pos + extra >= text.size()) {
    ++pos;
    return kNoCharacter;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<std::uint8_t>(text[pos + i]);
    if ((next & 0xC0) != 0x80) {
      pos += i;  // the lead and the continuation bytes before the break are one bad sequence
      return kNoCharacter;
    }
    c = (c << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return kNoCharacter;
  }
  pos += extra + 1;
  return c;
}

}  // namespace

bool KnownCodePage(std::uint32_t codePage) {
  return FindTable(codePage) != nullptr;
}

char32_t CodePageToUnicode(std::uint32_t codePage, std::uint8_t byte) {
  return TableOf(codePage).toUnicode[byte];
}

std::uint8_t UnicodeToCodePage(std::uint32_t codePage, char32_t character) {
  const ReverseTable& reverse = ReverseOf(codePage);
  for (char32_t c = character;;) {
    std::uint8_t byte = 0;
    if (reverse.Find(c, byte)) return byte;
    c = BaseCharacter(c);
    if (c == 0) return '?';
  }
}

std::string CodePageToUtf8(std::uint32_t codePage, std::string_view text) {
  const CodePageTable& table = TableOf(codePage);
  std::string out;
  out.reserve(text.size());
  for (char byte : text)
    AppendUtf8(out, table.toUnicode[static_cast<std::uint8_t>(byte)]);
  return out;
}

std::string Utf8ToCodePage(std::uint32_t codePage, std::string_view text) {
  TableOf(codePage);
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();)
    out += static_cast<char>(UnicodeToCodePage(codePage, NextUtf8(text, pos)));
  return out;
}

std::string CodePages::Upper(std::string_view text) {
  std::string result(text);
  CharUpper(result.data(), result.size());
  return result;
}

std::string CodePages::Lower(std::string_view text) {
  std::string result(text);
  CharLower(result.data(), result.size());
  return result;
}

}  // namespace platform
