#pragma once
// Text between the terminal (UTF-8) and a table (one byte per character in the table's code
// page): what the tool reads from a table is converted to UTF-8, what it is given on the
// command line is converted into the code page. The raw codec passes bytes unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/xbtool/arguments.hpp"

namespace tools::xbtool {

inline constexpr std::uint32_t kDefaultCodePage = 437;

class TextCodec {
 public:
  // UsageError for a code page the tool does not convert (437, 850 and 1252 it does).
  static TextCodec ForCodePage(std::uint32_t codePage);
  static TextCodec Raw();
  // --codepage N and --raw (not both); the default is code page 437.
  static TextCodec FromOptions(const ParsedArguments& arguments);

  bool raw() const { return codePage_ == 0; }
  std::uint32_t codePage() const { return codePage_; }

  std::string ToTerminal(std::string_view tableText) const;
  // Raises ToolError for a character the code page does not have (or that would come back
  // as another one), so that nothing is silently replaced.
  std::string ToTable(std::string_view terminalText) const;

 private:
  explicit TextCodec(std::uint32_t codePage) : codePage_(codePage) {}
  std::uint32_t codePage_;  // 0: raw
};

}  // namespace tools::xbtool
