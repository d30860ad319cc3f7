// reindex TABLE: rebuilds every tag of an index file.
#include "tables/index/exp_global_registry.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool reindex TABLE [--index FILE] [--key K]\n"
    "\n"
    "Rebuilds every tag of the table's production index (TABLE with \".CDX\") or of the\n"
    "index file FILE (.CDX, .MDX, .NDX, .NTX) from the table's records, on fresh pages: the file "
    "shrinks to\n"
    "what its tags need. Run it after a program that does not keep the index current changed\n"
    "the table.\n";

int RunReindex(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  auto table = OpenTable(context, context.arguments.positionals()[0], TableAccess::IndexFiles);
  auto index = OpenIndex(context, *table, IndexAccess::Change);
  index->Rebuild();
  context.out << "rebuilt " << index->TagCount() << " tags in "
              << DisplayName(context, index->diskFile().path()) << '\n';
  return kExitSuccess;
}

}  // namespace

const Verb& ReindexVerb() {
  static const Verb verb{
      "reindex", "rebuild every tag of an index file", kHelp, {{"TABLE"}}, {{"--index", true}},
      RunReindex};
  return verb;
}

}  // namespace tools::xbtool
