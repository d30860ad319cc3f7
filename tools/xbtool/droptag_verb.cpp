// droptag TABLE --tag T: removes a tag from a compound or multiple index file.
#include "tables/index/exp_global_registry.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool droptag TABLE --tag T [--index FILE] [--key K]\n"
    "\n"
    "Removes tag T (its name compared without regard to case) from the table's production\n"
    "index (TABLE with \".CDX\") or from the index file FILE (.CDX or .MDX; a single index file\n"
    "keeps its index until it is deleted). Its pages stay in the\n"
    "file until \"xbtool reindex\"; removing the last tag leaves the bare 1536-byte file.\n";

int RunDropTag(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  auto table = OpenTable(context, context.arguments.positionals()[0], TableAccess::IndexFiles);
  auto index = OpenIndex(context, *table, IndexAccess::Change);
  const std::string name = context.arguments.Value("--tag").value_or("");
  if (!index->DropTag(context.codec.ToTable(name))) {
    throw ToolError("no tag " + name + " in " + DisplayName(context, index->diskFile().path()));
  }
  context.out << "dropped tag " << name << " from "
              << DisplayName(context, index->diskFile().path()) << '\n';
  return kExitSuccess;
}

}  // namespace

const Verb& DropTagVerb() {
  static const Verb verb{"droptag",   "remove a tag from an index file",    kHelp,
                         {{"TABLE"}}, {{"--tag", true}, {"--index", true}}, RunDropTag};
  return verb;
}

}  // namespace tools::xbtool
