#pragma once
// Opening the table a verb names, and the record numbers verbs take.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tables/handler/db_handler.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {

// Read: read-only. Change: writable for changing records. IndexFiles: writable for building
// the table's index files. Exclusive: writable and kept from other programs (a key change).
enum class TableAccess { Read, Change, IndexFiles, Exclusive };

// Opens the table shared (so that other programs may keep using it) except for Exclusive,
// read-only for Read and writable otherwise, with the context's key.
std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const VerbContext& context, std::string_view file,
                                                TableAccess access);

// Opens the table as OpenTable does through the table handler, with its production index (its
// name with ".CDX", when there is one) and the files named by --index open, so that record
// changes keep them current.
std::unique_ptr<tables::XBO_dBHandler> OpenHandler(const VerbContext& context,
                                                   std::string_view file, TableAccess access);

// A file name the engine uses as the person sees it: on the host the engine's upper-cased
// name is shown as the file is really called.
std::string DisplayName(const VerbContext& context, const std::string& enginePath);

// Reads every record in turn and visits it; an error names the record it arose in.
void ForEachRecord(tables::XBO_dBaseFld& table, const std::function<void()>& visit);

// Changes record n: reads it, lets change alter the record image and has the handler write it
// back under the record's lock (refused at once with "Record is locked by another user" when
// another program holds it; nothing is changed then).
void ChangeRecord(tables::XBO_dBHandler& table, std::int32_t n,
                  const std::function<void()>& change);

// Runs a record write of the handler; a record lock another program holds becomes the tool's
// "Record is locked by another user".
void WriteThroughHandler(const std::function<void()>& write);

// A record number of the command line (1 and up).
std::int32_t RecordNumberArgument(std::string_view text);

}  // namespace tools::xbtool
