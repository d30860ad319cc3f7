#pragma once
// The index files the index verbs work on (compound CDX, multiple MDX, single NDX and NTX,
// chosen by the file's extension), their tags, and keys as the command line gives them and as
// the tool shows them.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/cdx_tag.hpp"
#include "tables/index/index_file.hpp"
#include "tools/xbtool/json_output.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {

// Read: read-only. Change: writable. Create: writable, created when missing.
enum class IndexAccess { Read, Change, Create };

// The file named by --index, or the table's production index (its name with ".CDX", else with
// ".MDX"); a ToolError says which is missing.
std::unique_ptr<tables::XBobjIndexFile> OpenIndex(const VerbContext& context,
                                                  tables::XBO_dBaseFld& table, IndexAccess access);
// Every file to check: those named by --index (repeatable), else the production index.
std::vector<std::unique_ptr<tables::XBobjIndexFile>> OpenIndexes(const VerbContext& context,
                                                                 tables::XBO_dBaseFld& table);

// Whether the file holds a single index (NDX, NTX): its tag is named after the file.
bool IsSingleIndexFile(const tables::XBobjIndexFile& file);

// The tag named by --tag (any name, or none, for a single index file); a ToolError lists the
// tags there are when it is missing.
tables::XBobjIndexTag& ChosenTag(const VerbContext& context, tables::XBobjIndexFile& file);

// What a tag's header says, whatever its file's format.
struct TagFacts {
  std::string expression;
  std::string forExpression;  // empty: none
  tables::XbKeyType keyType = tables::XbKeyType::Character;
  int keyLength = 0;
  bool descending = false;  // walked from the greatest key
};
TagFacts FactsOf(const tables::XBobjIndexTag& tag);

// "C", "N", "D" or "L".
std::string KeyTypeName(const tables::XBobjIndexTag& tag);

// A key of the tag as JSON: text without trailing blanks, a number, "YYYY-MM-DD" or null for
// a blank date, true or false.
Json KeyJson(const VerbContext& context, const tables::XBobjIndexTag& tag, std::string_view key);

// The command line's KEY read by the tag's key type; a UsageError when it is none.
tables::TxbVariant KeyArgument(const VerbContext& context, const tables::XBobjIndexTag& tag,
                               std::string_view text);

}  // namespace tools::xbtool
