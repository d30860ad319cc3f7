// tags TABLE: the tags of an index file.
#include <iomanip>
#include <nlohmann/json.hpp>
#include <optional>

#include "tables/index/exp_global_registry.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool tags TABLE [--index FILE] [--json] [--key K]\n"
    "\n"
    "Lists the tags of the table's production index (TABLE with \".CDX\", else \".MDX\") or\n"
    "of the index file FILE (.CDX, .MDX, .NDX or .NTX; a single index file's one tag is named\n"
    "after the file): name, key expression, FOR expression, key type (C, N, D, L), key\n"
    "length, unique and descending flags and the number of keys.\n"
    "\n"
    "  --json  one JSON array: [{\"name\", \"expression\", \"for\" (null when none),\n"
    "          \"key_type\", \"key_length\", \"unique\", \"descending\", \"key_count\"}]\n";

std::int64_t KeyCount(tables::XBobjIndexTag& tag) {
  std::int64_t count = 0;
  const int start = tag.descending() ? tables::xb_move::Last : tables::xb_move::First;
  const int step = tag.descending() ? tables::xb_move::Previous : tables::xb_move::Next;
  for (tag.Move(start); tag.current(); tag.Move(step))
    ++count;
  return count;
}

int RunTags(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  auto table = OpenTable(context, context.arguments.positionals()[0], TableAccess::Read);
  auto index = OpenIndex(context, *table, IndexAccess::Read);
  const bool json = context.arguments.Has("--json");
  std::optional<JsonArrayLines> lines;
  if (json) lines.emplace(context.out);
  for (int i = 0; i < index->TagCount(); ++i) {
    tables::XBobjIndexTag& tag = *index->TagByIndex(i);
    const TagFacts facts = FactsOf(tag);
    const std::string forText = context.codec.ToTerminal(facts.forExpression);
    const std::string name = context.codec.ToTerminal(tag.name());
    const std::string expression = context.codec.ToTerminal(facts.expression);
    const std::int64_t count = KeyCount(tag);
    if (json) {
      JsonObjectLine line;
      line.Add("name", name)
          .Add("expression", expression)
          .Add("for", forText.empty() ? Json(nullptr) : Json(forText))
          .Add("key_type", KeyTypeName(tag))
          .Add("key_length", facts.keyLength)
          .Add("unique", tag.unique())
          .Add("descending", facts.descending)
          .Add("key_count", count);
      lines->Element(line.Text());
      continue;
    }
    context.out << std::left << std::setw(11) << name << KeyTypeName(tag) << std::right
                << std::setw(4) << facts.keyLength << std::setw(9) << count << " keys  "
                << expression << (forText.empty() ? "" : "  FOR " + forText)
                << (tag.unique() ? "  UNIQUE" : "") << (facts.descending ? "  DESCENDING" : "")
                << '\n';
  }
  if (lines) lines->End();
  return kExitSuccess;
}

}  // namespace

const Verb& TagsVerb() {
  static const Verb verb{"tags",      "list the tags of an index file", kHelp,
                         {{"TABLE"}}, {{"--index", true}, {"--json"}},  RunTags};
  return verb;
}

}  // namespace tools::xbtool
