// lock FILE RECNO: tries a record lock once where the chosen lock protocol puts it.
#include <cstdint>
#include <limits>

#include "platform/real_clock.hpp"
#include "platform/win_types.hpp"
#include "tables/storage/lock_protocol.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool lock FILE RECNO [--protocol default|db4|clip|fox] [--indexed]\n"
    "                   [--index FILE]... [--hold SECONDS] [--key K]\n"
    "\n"
    "Opens the table shared and read-only, with its production index and the files named by\n"
    "--index, and tries once to lock record RECNO where the lock protocol puts record locks\n"
    "(an open index file moves them under the default and fox protocols, as it does for\n"
    "append, set, delete and recall). Prints \"locked\" and exits 0 when the lock was had,\n"
    "prints \"busy\" and exits 1 when another program holds it.\n"
    "\n"
    "  --protocol P    default (the default), db4, clip or fox\n"
    "  --indexed       lock as a program that has an index file open does, also when the\n"
    "                  table has none\n"
    "  --hold SECONDS  keep the lock that long before ending\n";

tables::TxbLokProtocol ProtocolOf(const std::string& name) {
  if (name == "default") return tables::TxbLokProtocol::Default;
  if (name == "db4") return tables::TxbLokProtocol::DB4Lock;
  if (name == "clip") return tables::TxbLokProtocol::ClipLock;
  if (name == "fox") return tables::TxbLokProtocol::FoxLock;
  throw UsageError("--protocol must be default, db4, clip or fox, not \"" + name + "\"");
}

int RunLock(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const std::int32_t recno = RecordNumberArgument(positionals[1]);
  const auto protocol = ProtocolOf(context.arguments.Value("--protocol").value_or("default"));
  std::uint32_t holdMilliseconds = 0;
  if (const auto hold = context.arguments.Value("--hold")) {
    holdMilliseconds = static_cast<std::uint32_t>(
        ParseWholeNumber(*hold, "--hold", 0, std::numeric_limits<std::uint32_t>::max() / 1000) *
        1000);
  }
  auto table = OpenHandler(context, positionals[0], TableAccess::Read);
  table->SetLockProtocol(protocol);
  if (context.arguments.Has("--indexed")) table->SetIndexFilesOpen(true);
  // A record the table does not have is an error, not a lock.
  table->ReadRecord(recno);
  if (!table->LockRecord(recno)) {
    if (table->LastError() != platform::win_error::LockViolation) {
      throw ToolError("cannot lock record " + std::to_string(recno) + " of " + table->path() +
                      ": system error " + std::to_string(table->LastError()));
    }
    context.out << "busy" << std::endl;
    return kExitNegative;
  }
  context.out << "locked" << std::endl;
  // The hold is for programs running beside this one: it lasts in real time, also on a
  // simulated machine whose clock is virtual (where sleeping would not wait at all).
  if (holdMilliseconds > 0) platform::RealClock(0).Sleep(holdMilliseconds);
  table->Unlock();
  return kExitSuccess;
}

}  // namespace

const Verb& LockVerb() {
  static const Verb verb{
      "lock",
      "try a record lock (and hold it)",
      kHelp,
      {{"FILE"}, {"RECNO"}},
      {{"--protocol", true}, {"--indexed"}, {"--index", true, true}, {"--hold", true}},
      RunLock};
  return verb;
}

}  // namespace tools::xbtool
