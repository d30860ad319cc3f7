#pragma once
// Opening the table a verb names, and the record numbers verbs take.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {

// Read: read-only. Change: records are changed, which is refused while the table has a
// production index (the tool does not keep index files current on record changes).
// IndexFiles: writable for building the table's index files.
enum class TableAccess { Read, Change, IndexFiles };

// Opens the table shared (so that other programs may keep using it), read-only for Read and
// writable otherwise, with the context's key. Change raises a ToolError naming "xbtool
// reindex" when the table has a production index.
std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const VerbContext& context, std::string_view file,
                                                TableAccess access);

// A file name the engine uses as the person sees it: on the host the engine's upper-cased
// name is shown as the file is really called.
std::string DisplayName(const VerbContext& context, const std::string& enginePath);

// Reads every record in turn and visits it; an error names the record it arose in.
void ForEachRecord(tables::XBO_dBaseFld& table, const std::function<void()>& visit);

// Changes record n under its record lock: locks it (refused at once when another program
// holds it), reads it, lets change alter the record image and writes it back.
void ChangeRecord(tables::XBO_dBaseFld& table, std::int32_t n, const std::function<void()>& change);

// A record number of the command line (1 and up).
std::int32_t RecordNumberArgument(std::string_view text);

}  // namespace tools::xbtool
