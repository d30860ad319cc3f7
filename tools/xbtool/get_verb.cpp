// get FILE RECNO FIELD: one field's value; with --raw a memo's bytes exactly as stored.
#include "tools/xbtool/field_value.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool get FILE RECNO FIELD [--key K] [--raw]\n"
    "\n"
    "Writes the value of field FIELD of record RECNO (counted from 1, deleted records too)\n"
    "as export shows it, followed by a line break: an empty line for a null value, T or F\n"
    "for a logical field.\n"
    "\n"
    "  --raw  no code-page conversion; a memo (M, G, or B outside version 0x30) is written\n"
    "         byte for byte as it is stored, without a line break, so that a picture or any\n"
    "         other binary memo can be redirected into a file unchanged.\n";

bool IsMemo(tables::XBO_dBaseFld& table, int n) {
  const char type = table.FieldType(n);
  return type == 'M' || type == 'G' || (type == 'B' && table.version() != 0x30);
}

int RunGet(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const std::int32_t recno = RecordNumberArgument(positionals[1]);
  auto table = OpenTable(context, positionals[0], TableAccess::Read);
  const int field = table->FieldNumberOf(context.codec.ToTable(positionals[2]));
  table->ReadRecord(recno);
  if (context.codec.raw() && IsMemo(*table, field)) {
    const std::string bytes = table->GetMemoText(field);
    context.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  } else {
    context.out << PlainText(ReadFieldValue(*table, field, context.codec)) << '\n';
  }
  return kExitSuccess;
}

}  // namespace

const Verb& GetVerb() {
  static const Verb verb{
      "get", "write one field of a record", kHelp, {{"FILE"}, {"RECNO"}, {"FIELD"}}, {}, RunGet};
  return verb;
}

}  // namespace tools::xbtool
