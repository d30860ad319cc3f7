#include "tools/xbtool/index_access.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "platform/path_parts.hpp"
#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/mdx_file.hpp"
#include "tables/index/ndx_file.hpp"
#include "tables/index/ntx_file.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tools/xbtool/calendar_text.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

std::string UpperExtension(const VerbContext& context, std::string_view name) {
  return context.machine.codePages().Upper(platform::PathExtension(name));
}

std::unique_ptr<tables::XBobjIndexFile> OpenNamed(const VerbContext& context,
                                                  tables::XBO_dBaseFld& table,
                                                  const std::string& name, IndexAccess access) {
  const tables::XbIndexOpenMode mode{access == IndexAccess::Create, true,
                                     access != IndexAccess::Read};
  const std::string extension = UpperExtension(context, name);
  if (extension == ".NDX") {
    return std::make_unique<tables::XBobjNDXFile>(table, name, context.key, mode);
  }
  if (extension == ".NTX") {
    return std::make_unique<tables::XBobjNTXFile>(table, name, context.key, mode);
  }
  if (extension == ".MDX") {
    return std::make_unique<tables::XBobjMDXFile>(table, name, context.key, mode);
  }
  return std::make_unique<tables::XBobjCDXFile>(table, name, context.key, mode);
}

std::string ProductionIndex(const VerbContext& context, tables::XBO_dBaseFld& table) {
  const std::string path = tables::XbProductionIndexPath(table.path());
  if (context.machine.files().Exists(path)) return path;
  const std::string multiple = tables::XbProductionMdxPath(table.path());
  if (context.machine.files().Exists(multiple)) return multiple;
  throw ToolError("the table has no production index (" + DisplayName(context, path) +
                  "); name an index file with --index FILE");
}

std::string FilePath(const tables::XBobjIndexFile& file) {
  return const_cast<tables::XBobjIndexFile&>(file).diskFile().path();
}

std::string DateText(std::int32_t julian) {
  const tables::CalendarDate date = tables::XbDate().Split(julian);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace

std::unique_ptr<tables::XBobjIndexFile> OpenIndex(const VerbContext& context,
                                                  tables::XBO_dBaseFld& table, IndexAccess access) {
  const auto named = context.arguments.Values("--index");
  if (!named.empty()) return OpenNamed(context, table, named.back(), access);
  if (access == IndexAccess::Create) {
    return OpenNamed(context, table, tables::XbProductionIndexPath(table.path()), access);
  }
  return OpenNamed(context, table, ProductionIndex(context, table), access);
}

std::vector<std::unique_ptr<tables::XBobjIndexFile>> OpenIndexes(const VerbContext& context,
                                                                 tables::XBO_dBaseFld& table) {
  std::vector<std::string> names = context.arguments.Values("--index");
  if (names.empty()) names.push_back(ProductionIndex(context, table));
  std::vector<std::unique_ptr<tables::XBobjIndexFile>> files;
  for (const std::string& name : names) {
    files.push_back(OpenNamed(context, table, name, IndexAccess::Read));
  }
  return files;
}

bool IsSingleIndexFile(const tables::XBobjIndexFile& file) {
  return dynamic_cast<const tables::XBobjNDXFile*>(&file) ||
         dynamic_cast<const tables::XBobjNTXFile*>(&file);
}

tables::XBobjIndexTag& ChosenTag(const VerbContext& context, tables::XBobjIndexFile& file) {
  if (IsSingleIndexFile(file) && file.TagCount() == 1) return *file.TagByIndex(0);
  const std::string name = context.arguments.Value("--tag").value_or("");
  if (tables::XBobjIndexTag* tag = file.TagByName(context.codec.ToTable(name))) return *tag;
  std::string known;
  for (int i = 0; i < file.TagCount(); ++i) {
    known += (i == 0 ? "" : ", ") + context.codec.ToTerminal(file.TagByIndex(i)->name());
  }
  throw ToolError("no tag " + name + " in " + DisplayName(context, FilePath(file)) +
                  " (tags: " + (known.empty() ? "none" : known) + ")");
}

TagFacts FactsOf(const tables::XBobjIndexTag& tag) {
  if (const auto* cdx = dynamic_cast<const tables::XBobjCDXTag*>(&tag)) {
    const tables::CdxTagHeader& header = cdx->header();
    return {header.keyExpression, header.forExpression, cdx->keyType(), header.keyLength,
            cdx->descending()};
  }
  const auto& family = dynamic_cast<const tables::XBobjFamilyTag&>(tag);
  const tables::XbFamilyTagFacts& facts = family.facts();
  return {facts.keyExpression, facts.forExpression, facts.keyType, facts.keyLength,
          facts.descending};
}

std::string KeyTypeName(const tables::XBobjIndexTag& tag) {
  return std::string(1, static_cast<char>(FactsOf(tag).keyType));
}

Json KeyJson(const VerbContext& context, const tables::XBobjIndexTag& tag, std::string_view key) {
  if (const auto* family = dynamic_cast<const tables::XBobjFamilyTag*>(&tag)) {
    const tables::TxbVariant value = family->KeyValue(key);
    switch (value.type()) {
      case tables::TxbVariant::Number:
        return value.AsNumber();
      case tables::TxbVariant::Date:
        if (value.AsDate() <= 0) return nullptr;
        return DateText(value.AsDate());
      default:
        return context.codec.ToTerminal(std::string(tables::CdxTrimBlanks(value.bytes())));
    }
  }
  switch (FactsOf(tag).keyType) {
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

// Whether the tag keeps the values of a date expression as text (YYYYMMDD).
bool DatesAsText(const tables::XBobjIndexTag& tag) {
  const auto* family = dynamic_cast<const tables::XBobjFamilyTag*>(&tag);
  if (!family || family->facts().keyType != tables::XbKeyType::Character) return false;
  const auto learned =
      tables::XBobjFamilyTag::LearnExpressionKey(family->file(), family->facts().keyExpression);
  return learned && learned->type == tables::XbKeyType::Date;
}

tables::TxbVariant KeyArgument(const VerbContext& context, const tables::XBobjIndexTag& tag,
                               std::string_view text) {
  tables::TxbVariant value;
  tables::XbKeyType type = FactsOf(tag).keyType;
  if (DatesAsText(tag) && (text.empty() || ParseDateText(text))) type = tables::XbKeyType::Date;
  switch (type) {
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
