// create FILE --version V --field NAME,TYPE,LEN[,DEC] ...: a new empty table (and memo file).
#include "tables/storage/create_table.hpp"
#include "tools/xbtool/field_definition.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool create FILE --version V --field NAME,TYPE,LEN[,DEC] ... [--key K]\n"
    "                     [--memo-block N]\n"
    "\n"
    "Creates an empty table (and its empty memo file when the table has one). The file name\n"
    "is upper-cased, and \".DBF\" is added when it has no extension.\n"
    "\n"
    "  --version V       0x03 (no memo), 0x30 (binary field types I, B, Y, T; .FPT memo when\n"
    "                    it has M or G fields), 0x83 (.DBT memo), 0x8B (.DBT memo with block\n"
    "                    headers), 0xF5 (.FPT memo)\n"
    "  --field FIELD     one field, in order: NAME (up to 10 letters, digits or _), TYPE (C,\n"
    "                    N, F, D, L, M, G, B, and in 0x30 I, Y, T), LEN and, for N and F,\n"
    "                    DEC. LEN may be left out for D, L, M, G, B, I, Y and T.\n"
    "  --key K           encrypt the table with the key K\n"
    "  --memo-block N    block size of the memo file (0x8B: a multiple of 512, default 512;\n"
    "                    .FPT: default 64)\n";

int RunCreate(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const auto versionText = context.arguments.Value("--version");
  if (!versionText) throw UsageError("--version is missing");
  const std::uint8_t version = ParseVersion(*versionText);
  std::vector<tables::XbFieldDef> fields;
  for (const std::string& definition : context.arguments.Values("--field"))
    fields.push_back(ParseFieldDefinition(definition, version));
  if (fields.empty()) throw UsageError("give at least one --field");
  std::uint32_t memoBlock = 0;
  if (const auto block = context.arguments.Value("--memo-block")) {
    memoBlock = static_cast<std::uint32_t>(ParseWholeNumber(*block, "--memo-block", 1, 65535));
  }
  tables::CreateTable(positionals[0], version, fields, context.key, memoBlock);
  auto table = OpenTable(context, positionals[0], TableAccess::Read);
  context.out << "created " << DisplayName(context, table->path()) << " (" << table->FieldCount()
              << " fields, record length " << table->recordLength()
              << (table->encrypted() ? ", encrypted" : "") << ")\n";
  return kExitSuccess;
}

}  // namespace

const Verb& CreateVerb() {
  static const Verb verb{"create",
                         "create a new empty table",
                         kHelp,
                         {{"FILE"}},
                         {{"--version", true}, {"--field", true, true}, {"--memo-block", true}},
                         RunCreate};
  return verb;
}

}  // namespace tools::xbtool
