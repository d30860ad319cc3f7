// set FILE RECNO NAME=VALUE ...: changes fields of one record.
#include "tools/xbtool/field_assignment.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool set FILE RECNO NAME=VALUE ... [--index FILE]... [--key K]\n"
    "\n"
    "Changes the named fields of record RECNO (counted from 1), under the record's lock;\n"
    "fields not named keep what the file holds. The table's production index and the files\n"
    "named by --index are kept current.\n"
    "Values are given as for append (see xbtool append --help); an empty value blanks the\n"
    "field or removes its memo.\n";

int RunSet(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const std::int32_t recno = RecordNumberArgument(positionals[1]);
  const auto assignments = ParseAssignments(positionals, 2);
  auto table = OpenHandler(context, positionals[0], TableAccess::Change);
  ChangeRecord(*table, recno, [&] { AssignFields(*table, assignments, context.codec); });
  context.out << "changed record " << recno << '\n';
  return kExitSuccess;
}

}  // namespace

const Verb& SetVerb() {
  static const Verb verb{"set",
                         "change fields of a record",
                         kHelp,
                         {{"FILE"}, {"RECNO"}, {"NAME=VALUE", true, true}},
                         {{"--index", true, true}},
                         RunSet};
  return verb;
}

}  // namespace tools::xbtool
