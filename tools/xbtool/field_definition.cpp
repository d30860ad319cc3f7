#include "tools/xbtool/field_definition.hpp"

#include <cctype>
#include <string>
#include <vector>

#include "tables/storage/dbf_format.hpp"
#include "tools/xbtool/arguments.hpp"

namespace tools::xbtool {
namespace {

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  while (true) {
    const auto comma = text.find(',');
    parts.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return parts;
    text.remove_prefix(comma + 1);
  }
}

}  // namespace

std::uint8_t ParseVersion(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::uint8_t version :
       {tables::xb_version::Plain, tables::xb_version::Visual, tables::xb_version::DBase3Memo,
        tables::xb_version::DBase4Memo, tables::xb_version::FoxMemo}) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02x", version);
    if (lower == hex || lower == std::to_string(version)) return version;
  }
  throw UsageError("--version must be 0x03, 0x30, 0x83, 0x8B or 0xF5, not \"" + std::string(text) +
                   "\"");
}

tables::XbFieldDef ParseFieldDefinition(std::string_view definition, std::uint8_t version) {
  const auto parts = SplitAtCommas(definition);
  const std::string what = "--field " + std::string(definition);
  if (parts.size() < 2 || parts.size() > 4 || parts[0].empty() || parts[1].size() != 1) {
    throw UsageError(what + ": give NAME,TYPE,LEN[,DEC] (TYPE one letter)");
  }
  tables::XbFieldDef field;
  field.name = std::string(parts[0]);
  field.type = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
  if (parts.size() >= 3) {
    field.length = static_cast<int>(ParseWholeNumber(parts[2], what + ": LEN", 1, 65535));
  } else if (const int fixed = tables::XbFixedFieldLength(field.type, version)) {
    field.length = fixed;
  } else {
    throw UsageError(what + ": a field of type " + std::string(1, field.type) + " needs LEN");
  }
  if (parts.size() == 4) {
    field.decimals = static_cast<int>(ParseWholeNumber(parts[3], what + ": DEC", 0, 255));
  }
  return field;
}

}  // namespace tools::xbtool
