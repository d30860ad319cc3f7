// filter TABLE EXPR: the records a filter expression admits, found through the handler's bit set.
#include "tools/xbtool/json_output.hpp"
#include "tools/xbtool/record_json.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool filter TABLE EXPR [--json] [--key K]\n"
    "\n"
    "Evaluates the logical expression EXPR on every record (deleted ones included) and lists\n"
    "the records it holds for, in record order: their numbers one per line, or with --json\n"
    "the records themselves as export --json writes them. Example:\n"
    "  xbtool filter KVUS.DAT \"UPPER(USERNAME) = 'GUEST' .AND. LEVEL > 1\"\n";

void WriteRecords(VerbContext& context, tables::XBO_dBHandler& table) {
  const tables::TxbHugeSet& admitted = *table.filterSet();
  JsonArrayLines records(context.out);
  for (std::int32_t n = admitted.NextAfter(0); n != 0; n = admitted.NextAfter(n)) {
    table.GoRecord(n);
    records.Element(RecordJson(context, table));
  }
  records.End();
}

void WriteNumbers(VerbContext& context, const tables::TxbHugeSet& admitted) {
  for (std::int32_t n = admitted.NextAfter(0); n != 0; n = admitted.NextAfter(n)) {
    context.out << n << '\n';
  }
}

int RunFilter(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  tables::XBO_dBHandler table(context.machine, positionals[0], true, false, context.key);
  table.BuildFilter(context.codec.ToTable(positionals[1]), false, false);
  if (context.arguments.Has("--json")) {
    WriteRecords(context, table);
  } else {
    WriteNumbers(context, *table.filterSet());
  }
  return kExitSuccess;
}

}  // namespace

const Verb& FilterVerb() {
  static const Verb verb{"filter",     "list the records a filter admits",
                         kHelp,        {{"TABLE"}, {"EXPR"}},
                         {{"--json"}}, RunFilter};
  return verb;
}

}  // namespace tools::xbtool
