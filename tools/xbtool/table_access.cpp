#include "tools/xbtool/table_access.hpp"

#include <limits>

#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {

std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const VerbContext& context, std::string_view file,
                                                TableAccess access) {
  return std::make_unique<tables::XBO_dBaseFld>(file, true, access == TableAccess::Change,
                                                context.key);
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
