#include "tools/xbtool/index_access.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "tables/index/cdx_key.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tools/xbtool/calendar_text.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

std::unique_ptr<tables::XBobjCDXFile> OpenNamed(const VerbContext& context,
                                                tables::XBO_dBaseFld& table,
                                                const std::string& name, IndexAccess access) {
  const tables::XbIndexOpenMode mode{access == IndexAccess::Create, true,
                                     access != IndexAccess::Read};
  return std::make_unique<tables::XBobjCDXFile>(table, name, context.key, mode);
}

std::string ProductionIndex(const VerbContext& context, tables::XBO_dBaseFld& table) {
  const std::string path = tables::XbProductionIndexPath(table.path());
  if (!context.machine.files().Exists(path)) {
    throw ToolError("the table has no production index (" + DisplayName(context, path) +
                    "); name an index file with --index FILE");
  }
  return path;
}

std::string DateText(std::int32_t julian) {
  const tables::CalendarDate date = tables::XbDate().Split(julian);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace

std::unique_ptr<tables::XBobjCDXFile> OpenIndex(const VerbContext& context,
                                                tables::XBO_dBaseFld& table, IndexAccess access) {
  const auto named = context.arguments.Values("--index");
  if (!named.empty()) return OpenNamed(context, table, named.back(), access);
  if (access == IndexAccess::Create) {
    return OpenNamed(context, table, tables::XbProductionIndexPath(table.path()), access);
  }
  return OpenNamed(context, table, ProductionIndex(context, table), access);
}

std::vector<std::unique_ptr<tables::XBobjCDXFile>> OpenIndexes(const VerbContext& context,
                                                               tables::XBO_dBaseFld& table) {
  std::vector<std::string> names = context.arguments.Values("--index");
  if (names.empty()) names.push_back(ProductionIndex(context, table));
  std::vector<std::unique_ptr<tables::XBobjCDXFile>> files;
  for (const std::string& name : names) {
    files.push_back(OpenNamed(context, table, name, IndexAccess::Read));
  }
  return files;
}

tables::XBobjCDXTag& ChosenTag(const VerbContext& context, tables::XBobjCDXFile& file) {
  const std::string name = context.arguments.Value("--tag").value_or("");
  if (tables::XBobjCDXTag* tag = file.CdxTagByName(context.codec.ToTable(name))) return *tag;
  std::string known;
  for (int i = 0; i < file.TagCount(); ++i) {
    known += (i == 0 ? "" : ", ") + context.codec.ToTerminal(file.CdxTag(i)->name());
  }
  throw ToolError("no tag " + name + " in " + DisplayName(context, file.path()) +
                  " (tags: " + (known.empty() ? "none" : known) + ")");
}

std::string KeyTypeName(const tables::XBobjCDXTag& tag) {
  return std::string(1, static_cast<char>(tag.keyType()));
}

Json KeyJson(const VerbContext& context, const tables::XBobjCDXTag& tag, std::string_view key) {
  switch (tag.keyType()) {
    case tables::XbKeyType::Numeric:
      return tables::CdxKeyNumber(key);
    case tables::XbKeyType::Date: {
      const double julian = tables::CdxKeyNumber(key);
      if (julian <= 0) return nullptr;
      return DateText(static_cast<std::int32_t>(julian));
    }
    case tables::XbKeyType::Logical:
      return key == "T";
    default:
      return context.codec.ToTerminal(std::string(tables::CdxTrimBlanks(key)));
  }
}

tables::TxbVariant KeyArgument(const VerbContext& context, const tables::XBobjCDXTag& tag,
                               std::string_view text) {
  tables::TxbVariant value;
  switch (tag.keyType()) {
    case tables::XbKeyType::Numeric: {
      const std::string digits(text);
      char* end = nullptr;
      errno = 0;
      const double number = std::strtod(digits.c_str(), &end);
      if (digits.empty() || *end != '\0' || errno != 0 || !std::isfinite(number)) {
        throw UsageError("KEY: \"" + digits + "\" is not a number (the tag has numeric keys)");
      }
      value.SetNumber(number);
      break;
    }
    case tables::XbKeyType::Date: {
      if (text.find_first_not_of(' ') == std::string_view::npos) {
        value.SetDate(0);
        break;
      }
      const auto julian = ParseDateText(text);
      if (!julian) {
        throw UsageError("KEY: \"" + std::string(text) +
                         "\" is not a date YYYY-MM-DD (the tag has date keys)");
      }
      value.SetDate(*julian);
      break;
    }
    case tables::XbKeyType::Logical:
      if (text == "T" || text == "t" || text == "true") {
        value.SetLogical(true);
      } else if (text == "F" || text == "f" || text == "false") {
        value.SetLogical(false);
      } else {
        throw UsageError("KEY: \"" + std::string(text) +
                         "\" is not T or F (the tag has logical keys)");
      }
      break;
    default:
      value.SetText(context.codec.ToTable(text));
  }
  return value;
}

}  // namespace tools::xbtool
