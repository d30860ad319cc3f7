#include "tools/xbtool/text_codec.hpp"

#include "platform/code_pages.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {

TextCodec TextCodec::ForCodePage(std::uint32_t codePage) {
  if (codePage != 437 && codePage != 850 && codePage != 1252) {
    throw UsageError("--codepage must be 437, 850 or 1252, not " + std::to_string(codePage));
  }
  return TextCodec(codePage);
}

TextCodec TextCodec::Raw() {
  return TextCodec(0);
}

TextCodec TextCodec::FromOptions(const ParsedArguments& arguments) {
  const auto codePage = arguments.Value("--codepage");
  if (arguments.Has("--raw")) {
    if (codePage) throw UsageError("--raw and --codepage exclude each other");
    return Raw();
  }
  if (!codePage) return ForCodePage(kDefaultCodePage);
  return ForCodePage(
      static_cast<std::uint32_t>(ParseWholeNumber(*codePage, "--codepage", 1, 65535)));
}

std::string TextCodec::ToTerminal(std::string_view tableText) const {
  if (raw()) return std::string(tableText);
  return platform::CodePageToUtf8(codePage_, tableText);
}

std::string TextCodec::ToTable(std::string_view terminalText) const {
  if (raw()) return std::string(terminalText);
  std::string converted = platform::Utf8ToCodePage(codePage_, terminalText);
  if (platform::CodePageToUtf8(codePage_, converted) != terminalText) {
    throw ToolError("\"" + std::string(terminalText) + "\" cannot be written in code page " +
                    std::to_string(codePage_) + " without changing it (see --codepage)");
  }
  return converted;
}

}  // namespace tools::xbtool
