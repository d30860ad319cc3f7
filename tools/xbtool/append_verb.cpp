// append FILE NAME=VALUE ...: a new record at the end of the table.
#include <cstdint>
#include <cstring>

#include "tables/storage/dbf_format.hpp"
#include "tools/xbtool/field_assignment.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool append FILE NAME=VALUE ... [--index FILE]... [--key K]\n"
    "\n"
    "Appends a record; fields not named stay blank (numbers 0). The table's production index\n"
    "(its name with .CDX, else with .MDX) and the files named by --index (.CDX, .MDX, .NDX)\n"
    "are kept current. Values are given as the field stores them:\n"
    "  C        text, at most the field's length\n"
    "  N, F     a decimal number with at most the field's decimals (12.50, -3)\n"
    "  D        yyyymmdd or YYYY-MM-DD\n"
    "  L        T or F\n"
    "  M, G     the memo text (B too, except in version 0x30 tables)\n"
    "  I        a whole number (version 0x30)\n"
    "  B        a number (version 0x30)\n"
    "  Y        a decimal with at most four decimals, stored exactly (version 0x30)\n"
    "  T        YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS.mmm (version 0x30)\n"
    "An empty value leaves the field blank.\n";

// A blank record with empty date-times: blanking stores 0 in binary fields, which in a
// date-time field would be a day, not an empty value.
void BlankNewRecord(tables::XBO_dBaseFld& table) {
  table.BlankRecord();
  for (int n = 1; n <= table.FieldCount(); ++n) {
    if (table.FieldType(n) == 'T' && table.version() == tables::xb_version::Visual) {
      std::memset(table.recordImage() + table.FieldOffset(n), 0,
                  static_cast<std::size_t>(table.FieldLength(n)));
    }
  }
}

int RunAppend(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const auto assignments = ParseAssignments(positionals, 1);
  auto table = OpenHandler(context, positionals[0], TableAccess::Change);
  BlankNewRecord(*table);
  AssignFields(*table, assignments, context.codec);
  WriteThroughHandler([&] { table->AppendRecord(); });
  context.out << "appended record " << table->currentRecord() << '\n';
  return kExitSuccess;
}

}  // namespace

const Verb& AppendVerb() {
  static const Verb verb{"append",
                         "append a record",
                         kHelp,
                         {{"FILE"}, {"NAME=VALUE", false, true}},
                         {{"--index", true, true}},
                         RunAppend};
  return verb;
}

}  // namespace tools::xbtool
