#pragma once
// The compound index files the index verbs work on, their tags, and keys as the command line
// gives them and as the tool shows them.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/cdx_file.hpp"
#include "tools/xbtool/json_output.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {

// Read: read-only. Change: writable. Create: writable, created when missing.
enum class IndexAccess { Read, Change, Create };

// The file named by --index, or the table's production index (its name with ".CDX"); a
// ToolError says which is missing.
std::unique_ptr<tables::XBobjCDXFile> OpenIndex(const VerbContext& context,
                                                tables::XBO_dBaseFld& table, IndexAccess access);
// Every file to check: those named by --index (repeatable), else the production index.
std::vector<std::unique_ptr<tables::XBobjCDXFile>> OpenIndexes(const VerbContext& context,
                                                               tables::XBO_dBaseFld& table);

// The tag named by --tag; a ToolError lists the tags there are when it is missing.
tables::XBobjCDXTag& ChosenTag(const VerbContext& context, tables::XBobjCDXFile& file);

// "C", "N", "D" or "L".
std::string KeyTypeName(const tables::XBobjCDXTag& tag);

// A key of the tag as JSON: text without trailing blanks, a number, "YYYY-MM-DD" or null for
// a blank date, true or false.
Json KeyJson(const VerbContext& context, const tables::XBobjCDXTag& tag, std::string_view key);

// The command line's KEY read by the tag's key type; a UsageError when it is none.
tables::TxbVariant KeyArgument(const VerbContext& context, const tables::XBobjCDXTag& tag,
                               std::string_view text);

}  // namespace tools::xbtool
