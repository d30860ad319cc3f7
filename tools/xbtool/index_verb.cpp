// index TABLE --tag T --on EXPR: builds a tag of a compound index file.
#include "tables/index/exp_global_registry.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool index TABLE --tag T --on EXPR [--for EXPR] [--unique] [--descending]\n"
    "                   [--general] [--index FILE] [--key K]\n"
    "\n"
    "Builds tag T (at most 10 characters) on the key expression EXPR from every record of the\n"
    "table, deleted ones included, in the table's production index (TABLE with \".CDX\",\n"
    "created when missing) or in the index file FILE: a compound (.CDX) or multiple (.MDX)\n"
    "file gets tag T, replacing a tag of that name once the new one is built; a single index\n"
    "file (.NDX, .NTX) is written anew with its one index, named after the file. An\n"
    "expression that cannot be built changes nothing.\n"
    "\n"
    "  --for EXPR    only the records for which the logical expression EXPR holds\n"
    "  --unique      only the first record of each key\n"
    "  --descending  the tag is walked from the greatest key to the smallest\n"
    "  --general     GENERAL collation for text keys (case and accents weigh alike)\n";

int RunIndex(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  auto table = OpenTable(context, context.arguments.positionals()[0], TableAccess::IndexFiles);
  auto index = OpenIndex(context, *table, IndexAccess::Create);
  tables::XbTagDefinition definition;
  definition.name = context.codec.ToTable(context.arguments.Value("--tag").value_or(""));
  definition.keyExpression = context.codec.ToTable(context.arguments.Value("--on").value_or(""));
  definition.forExpression = context.codec.ToTable(context.arguments.Value("--for").value_or(""));
  definition.ascending = !context.arguments.Has("--descending");
  definition.unique = context.arguments.Has("--unique");
  definition.general = context.arguments.Has("--general");
  index->AddTag(definition);
  tables::XBobjIndexTag& tag =
      IsSingleIndexFile(*index) ? *index->TagByIndex(0) : *index->TagByName(definition.name);
  std::int64_t keys = 0;
  for (tag.Move(tables::xb_move::First); tag.current(); tag.Move(tables::xb_move::Next))
    ++keys;
  context.out << "built tag " << context.codec.ToTerminal(tag.name()) << " in "
              << DisplayName(context, index->diskFile().path()) << ": " << keys << " keys\n";
  return kExitSuccess;
}

}  // namespace

const Verb& IndexVerb() {
  static const Verb verb{"index",
                         "build a tag of an index file",
                         kHelp,
                         {{"TABLE"}},
                         {{"--tag", true},
                          {"--on", true},
                          {"--for", true},
                          {"--unique"},
                          {"--descending"},
                          {"--general"},
                          {"--index", true}},
                         RunIndex};
  return verb;
}

}  // namespace tools::xbtool
