#include "tools/xbtool/table_access.hpp"

#include <limits>

#include "tables/index/cdx_file.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {

std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const VerbContext& context, std::string_view file,
                                                TableAccess access) {
  return std::make_unique<tables::XBO_dBaseFld>(file, access != TableAccess::Exclusive,
                                                access != TableAccess::Read, context.key);
}

std::unique_ptr<tables::XBO_dBHandler> OpenHandler(const VerbContext& context,
                                                   std::string_view file, TableAccess access) {
  auto table = std::make_unique<tables::XBO_dBHandler>(context.machine, file,
                                                       access != TableAccess::Exclusive,
                                                       access != TableAccess::Read, context.key);
  std::string list;
  const std::string production = tables::XbProductionIndexPath(table->path());
  if (context.machine.files().Exists(production)) list = "\"" + production + "\"";
  for (const std::string& name : context.arguments.Values("--index")) {
    list += " \"" + name + "\"";
  }
  if (!list.empty()) table->OpenIndexes(list, "");
  return table;
}

std::string DisplayName(const VerbContext& context, const std::string& enginePath) {
  if (!context.hostMachine) return enginePath;
  const std::string host = context.machine.files().HostPath(enginePath);
  return host.empty() ? enginePath : host;
}

void ForEachRecord(tables::XBO_dBaseFld& table, const std::function<void()>& visit) {
  for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
    try {
      table.ReadRecord(n);
      visit();
    } catch (const platform::Exception& error) {
      throw ToolError("record " + std::to_string(n) + ": " + error.what());
    }
  }
}

void WriteThroughHandler(const std::function<void()>& write) {
  try {
    write();
  } catch (const tables::EXbaseError& error) {
    if (error.code() == tables::xb_code::RecordLocked) {
      throw ToolError(std::string("Record is locked by another user (") + error.what() +
                      "); nothing was changed");
    }
    throw;
  }
}

void ChangeRecord(tables::XBO_dBHandler& table, std::int32_t n,
                  const std::function<void()>& change) {
  // A record the table does not have is an error, not an append.
  table.ReadRecord(n);
  change();
  WriteThroughHandler([&] { table.PutRecord(n); });
}

std::int32_t RecordNumberArgument(std::string_view text) {
  return static_cast<std::int32_t>(
      ParseWholeNumber(text, "RECNO", 1, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace tools::xbtool
