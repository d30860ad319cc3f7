// walk TABLE --tag T: every entry of a tag in its order.
#include <nlohmann/json.hpp>
#include <optional>

#include "tables/index/exp_global_registry.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool walk TABLE --tag T [--desc] [--index FILE] [--json] [--key K]\n"
    "\n"
    "Lists every entry of tag T in tag order (deleted records included): the record number\n"
    "and the key. --desc walks from the last entry to the first.\n"
    "\n"
    "  --json  one JSON array: [{\"recno\": N, \"key\": V}], V the key as text without trailing\n"
    "          blanks, a number, \"YYYY-MM-DD\" (null for a blank date) or true/false\n";

int RunWalk(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  auto table = OpenTable(context, context.arguments.positionals()[0], TableAccess::Read);
  auto index = OpenIndex(context, *table, IndexAccess::Read);
  tables::XBobjIndexTag& tag = ChosenTag(context, *index);
  const bool backwards = context.arguments.Has("--desc");
  const bool json = context.arguments.Has("--json");
  std::optional<JsonArrayLines> lines;
  if (json) lines.emplace(context.out);
  tag.Move(backwards ? tables::xb_move::Last : tables::xb_move::First);
  for (const tables::XBobjIndexKeyData* entry = tag.current(); entry; entry = tag.current()) {
    const Json key = KeyJson(context, tag, entry->key);
    if (json) {
      lines->Element(JsonObjectLine().Add("recno", entry->record).Add("key", key).Text());
    } else {
      context.out << entry->record << '\t'
                  << (key.is_string() ? key.get<std::string>() : JsonText(key)) << '\n';
    }
    tag.Move(backwards ? tables::xb_move::Previous : tables::xb_move::Next);
  }
  if (lines) lines->End();
  return kExitSuccess;
}

}  // namespace

const Verb& WalkVerb() {
  static const Verb verb{"walk",
                         "list a tag's entries in key order",
                         kHelp,
                         {{"TABLE"}},
                         {{"--tag", true}, {"--desc"}, {"--index", true}, {"--json"}},
                         RunWalk};
  return verb;
}

}  // namespace tools::xbtool
