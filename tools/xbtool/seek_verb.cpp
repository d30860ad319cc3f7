// seek TABLE --tag T KEY: the first entry of a key.
#include <nlohmann/json.hpp>

#include "tables/index/exp_global_registry.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool seek TABLE --tag T KEY [--prefix] [--soft] [--index FILE] [--json] [--key K]\n"
    "\n"
    "Finds the first entry of tag T (in tag order, deleted records included) whose key equals\n"
    "KEY, read by the tag's key type: text, a number, YYYY-MM-DD (empty for a blank date), T\n"
    "or F. Exit status 0 when found, 1 when not.\n"
    "\n"
    "  --prefix  a text key that begins with KEY matches too (text keys only)\n"
    "  --soft    when nothing matches, show the record of the next entry instead of none\n"
    "  --json    {\"found\": true|false, \"recno\": N|null}\n";

int RunSeek(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  const auto& positionals = context.arguments.positionals();
  auto table = OpenTable(context, positionals[0], TableAccess::Read);
  auto index = OpenIndex(context, *table, IndexAccess::Read);
  tables::XBobjIndexTag& tag = ChosenTag(context, *index);
  const tables::TxbVariant key = KeyArgument(context, tag, positionals[1]);
  const std::int32_t found = tag.Seek(key, !context.arguments.Has("--prefix"));
  std::int32_t record = found;
  if (found == 0 && context.arguments.Has("--soft")) {
    const tables::XBobjIndexKeyData* next = tag.current();
    record = next ? next->record : 0;
  }
  if (context.arguments.Has("--json")) {
    context.out << JsonObjectLine()
                       .Add("found", found != 0)
                       .Add("recno", record != 0 ? Json(record) : Json(nullptr))
                       .Text()
                << '\n';
  } else if (found != 0) {
    context.out << "found: record " << found << '\n';
  } else {
    context.out << "not found"
                << (record != 0 ? "; next entry: record " + std::to_string(record) : "") << '\n';
  }
  return found != 0 ? kExitSuccess : kExitNegative;
}

}  // namespace

const Verb& SeekVerb() {
  static const Verb verb{"seek",
                         "find a key in a tag",
                         kHelp,
                         {{"TABLE"}, {"KEY"}},
                         {{"--tag", true}, {"--prefix"}, {"--soft"}, {"--index", true}, {"--json"}},
                         RunSeek};
  return verb;
}

}  // namespace tools::xbtool
