// seek TABLE --tag T KEY: the first record of a key, found by the table handler.
#include <nlohmann/json.hpp>

#include "tables/index/cdx_tag.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool seek TABLE --tag T KEY [--prefix] [--near] [--index FILE]... [--json]\n"
    "                   [--key K]\n"
    "\n"
    "Finds the first record of tag T (in tag order, deleted records included) whose key equals\n"
    "KEY, read by the tag's key type: text, a number, YYYY-MM-DD (empty for a blank date), T\n"
    "or F. The tag is looked for in the table's production index and the files named by\n"
    "--index. Exit status 0 when found, 1 when not.\n"
    "\n"
    "  --prefix  a text key that begins with KEY matches too (text keys only)\n"
    "  --near    when nothing matches, stay on the record of the next entry and show it\n"
    "  --soft    the same as --near\n"
    "  --json    {\"found\": true|false, \"recno\": N|null}\n";

// KEY as the handler's seek reads it: text and numbers as given, dates as yyyymmdd.
std::string SeekText(const VerbContext& context, const tables::XBobjCDXTag& tag,
                     std::string_view text) {
  const tables::TxbVariant key = KeyArgument(context, tag, text);
  switch (tag.keyType()) {
    case tables::XbKeyType::Date:
      return tables::XbDate().StorageText(key.AsDate());
    case tables::XbKeyType::Logical:
      return key.AsLogical() ? "T" : "F";
    case tables::XbKeyType::Numeric:
      return std::string(text);
    case tables::XbKeyType::Character:
      break;
  }
  return std::string(key.bytes());
}

int RunSeek(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  auto table = OpenHandler(context, positionals[0], TableAccess::Read);
  const std::string tagName = context.arguments.Value("--tag").value_or("");
  if (tagName.empty()) throw UsageError("give the tag to seek in with --tag T");
  table->SelectOrder(tagName, false);
  const auto* tag = dynamic_cast<const tables::XBobjCDXTag*>(table->currentTag());
  if (!tag) throw ToolError("tag " + tagName + " is not a tag of a compound index file");
  const bool near = context.arguments.Has("--near") || context.arguments.Has("--soft");
  table->SetSeekOptions(!context.arguments.Has("--prefix"), near);
  const bool found = table->Seek(SeekText(context, *tag, positionals[1]));
  const std::int32_t record = table->eof() ? 0 : table->position();
  if (context.arguments.Has("--json")) {
    context.out << JsonObjectLine()
                       .Add("found", found)
                       .Add("recno", record != 0 ? Json(record) : Json(nullptr))
                       .Text()
                << '\n';
  } else if (found) {
    context.out << "found: record " << record << '\n';
  } else {
    context.out << "not found"
                << (record != 0 ? "; next entry: record " + std::to_string(record) : "") << '\n';
  }
  return found ? kExitSuccess : kExitNegative;
}

}  // namespace

const Verb& SeekVerb() {
  static const Verb verb{
      "seek",
      "find a key through a tag",
      kHelp,
      {{"TABLE"}, {"KEY"}},
      {{"--tag", true}, {"--prefix"}, {"--near"}, {"--soft"}, {"--index", true, true}, {"--json"}},
      RunSeek};
  return verb;
}

}  // namespace tools::xbtool
