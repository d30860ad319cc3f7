#include "tools/xbtool/table_access.hpp"

#include <limits>

#include "tables/index/cdx_file.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {

std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const VerbContext& context, std::string_view file,
                                                TableAccess access) {
  auto table =
      std::make_unique<tables::XBO_dBaseFld>(file, true, access != TableAccess::Read, context.key);
  const std::string index = tables::XbProductionIndexPath(table->path());
  if (access == TableAccess::Change && context.machine.files().Exists(index)) {
    throw ToolError("the table has a production index (" + DisplayName(context, index) +
                    ") that xbtool cannot keep current on record changes; nothing was changed. "
                    "Move the index file aside, make the change, put it back and rebuild it "
                    "with \"xbtool reindex\".");
  }
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

void ChangeRecord(tables::XBO_dBaseFld& table, std::int32_t n,
                  const std::function<void()>& change) {
  if (!table.LockRecord(n)) throw ToolError("Record is locked by another user");
  table.ReadRecord(n);
  change();
  table.WriteRecord(n);
  table.Unlock();
}

std::int32_t RecordNumberArgument(std::string_view text) {
  return static_cast<std::int32_t>(
      ParseWholeNumber(text, "RECNO", 1, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace tools::xbtool
