// delete FILE RECNO and recall FILE RECNO: the deletion mark of one record.
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kDeleteHelp =
    "Usage: xbtool delete FILE RECNO [--index FILE]... [--key K]\n"
    "\n"
    "Marks record RECNO (counted from 1) deleted. The record stays in the file until the\n"
    "table is packed; recall takes the mark away again. The table's production index and\n"
    "the files named by --index are kept current.\n";

constexpr const char* kRecallHelp =
    "Usage: xbtool recall FILE RECNO [--index FILE]... [--key K]\n"
    "\n"
    "Takes the deletion mark away from record RECNO (counted from 1).\n";

int MarkRecord(VerbContext& context, bool deleted) {
  const auto& positionals = context.arguments.positionals();
  const std::int32_t recno = RecordNumberArgument(positionals[1]);
  auto table = OpenHandler(context, positionals[0], TableAccess::Change);
  bool already = false;
  ChangeRecord(*table, recno, [&] {
    already = table->RecordDeleted() == deleted;
    table->SetRecordDeleted(deleted);
  });
  context.out << "record " << recno << (already ? " was already " : " is now ")
              << (deleted ? "deleted" : "not deleted") << '\n';
  return kExitSuccess;
}

int RunDelete(VerbContext& context) {
  return MarkRecord(context, true);
}

int RunRecall(VerbContext& context) {
  return MarkRecord(context, false);
}

}  // namespace

const Verb& DeleteVerb() {
  static const Verb verb{"delete",
                         "mark a record deleted",
                         kDeleteHelp,
                         {{"FILE"}, {"RECNO"}},
                         {{"--index", true, true}},
                         RunDelete};
  return verb;
}

const Verb& RecallVerb() {
  static const Verb verb{"recall",
                         "take the deletion mark off a record",
                         kRecallHelp,
                         {{"FILE"}, {"RECNO"}},
                         {{"--index", true, true}},
                         RunRecall};
  return verb;
}

}  // namespace tools::xbtool
