// export FILE --json|--csv: every record, deleted ones included and marked.
#include <nlohmann/json.hpp>

#include "tools/xbtool/csv_writer.hpp"
#include "tools/xbtool/field_value.hpp"
#include "tools/xbtool/json_output.hpp"
#include "tools/xbtool/record_json.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool export FILE --json|--csv [--key K]\n"
    "\n"
    "Writes every record of the table to standard output, deleted ones included.\n"
    "\n"
    "  --json  one JSON array with an object per record: \"_recno\", \"_deleted\", then each\n"
    "          field by its name. C as text without trailing blanks; N, F, I as numbers\n"
    "          (N and F 0 when blank, null when filled with *); B as a number in version 0x30\n"
    "          tables, else as memo text; Y as a decimal text with four decimals; D as\n"
    "          \"YYYY-MM-DD\" (null when empty); L as true or false; T as\n"
    "          \"YYYY-MM-DDTHH:MM:SS.mmm\" (null when its day number is 0); M and G as their\n"
    "          text (null when the record has no memo).\n"
    "  --csv   a header row (_recno, _deleted, the field names), then a row per record, with\n"
    "          RFC 4180 quoting; the same values as plain text (L and _deleted as T or F,\n"
    "          null as an empty field).\n";

void WriteJson(VerbContext& context, tables::XBO_dBaseFld& table) {
  JsonArrayLines records(context.out);
  ForEachRecord(table, [&] { records.Element(RecordJson(context, table)); });
  records.End();
}

void WriteCsv(VerbContext& context, tables::XBO_dBaseFld& table) {
  CsvWriter csv(context.out);
  std::vector<std::string> row = {"_recno", "_deleted"};
  for (int n = 1; n <= table.FieldCount(); ++n)
    row.push_back(context.codec.ToTerminal(table.FieldName(n)));
  csv.Row(row);
  ForEachRecord(table, [&] {
    row = {std::to_string(table.currentRecord()), table.RecordDeleted() ? "T" : "F"};
    for (int n = 1; n <= table.FieldCount(); ++n)
      row.push_back(PlainText(ReadFieldValue(table, n, context.codec)));
    csv.Row(row);
  });
}

int RunExport(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const bool json = context.arguments.Has("--json");
  if (json == context.arguments.Has("--csv")) throw UsageError("give either --json or --csv");
  auto table = OpenTable(context, positionals[0], TableAccess::Read);
  if (json) {
    WriteJson(context, *table);
  } else {
    WriteCsv(context, *table);
  }
  return kExitSuccess;
}

}  // namespace

const Verb& ExportVerb() {
  static const Verb verb{
      "export", "write every record as JSON or CSV", kHelp, {{"FILE"}}, {{"--json"}, {"--csv"}},
      RunExport};
  return verb;
}

}  // namespace tools::xbtool
