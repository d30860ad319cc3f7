// verify TABLE: every tag of every index file checked against the table.
#include <nlohmann/json.hpp>

#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_verifier.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/family_verifier.hpp"
#include "tools/xbtool/index_access.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool verify TABLE [--index FILE ...] [--json] [--key K]\n"
    "\n"
    "Checks the table's production index, or each index file named with --index (.CDX, .MDX,\n"
    ".NDX, .NTX): for every tag (and a compound file's tag directory) the tree (sibling chains\n"
    "or key bounds, interior keys against their children, no page reached twice), the key\n"
    "order (in compound files equal keys by record number),\n"
    "walks forwards and backwards, and the keys against the table (every key equals the key\n"
    "expression on its record; every record whose FOR holds has one entry, or one per\n"
    "distinct key in a unique tag). Exit status 0 when clean, 1 with each fault named (tag\n"
    "and page offset), 2 when the files cannot be opened.\n"
    "\n"
    "  --json  {\"clean\": bool, \"files\": [{\"index\", \"tags\": [{\"tag\", \"keys\"}],\n"
    "          \"faults\": [{\"tag\", \"page\" (null when no one page), \"fault\"}]}]}\n";

Json FileJson(const std::string& name, const tables::XbIndexCheck& check, const TextCodec& codec) {
  Json tags = Json::array();
  for (const auto& tag : check.tags) {
    tags.push_back({{"tag", codec.ToTerminal(tag.tag)}, {"keys", tag.keys}});
  }
  Json faults = Json::array();
  for (const auto& fault : check.faults) {
    faults.push_back({{"tag", codec.ToTerminal(fault.tag)},
                      {"page", fault.page < 0 ? Json(nullptr) : Json(fault.page)},
                      {"fault", codec.ToTerminal(fault.description)}});
  }
  return {{"index", name}, {"tags", tags}, {"faults", faults}};
}

void PrintFile(std::ostream& out, const std::string& name, const tables::XbIndexCheck& check,
               const TextCodec& codec, int tagCount) {
  for (const auto& fault : check.faults) {
    out << name << ": tag " << codec.ToTerminal(fault.tag);
    if (fault.page >= 0) out << ", page " << fault.page;
    out << ": " << codec.ToTerminal(fault.description) << '\n';
  }
  if (check.clean()) {
    out << name << ": clean (" << tagCount << " tags)\n";
  }
}

int RunVerify(VerbContext& context) {
  const tables::TxbExpEngineScope expressions;
  auto table = OpenTable(context, context.arguments.positionals()[0], TableAccess::Read);
  auto files = OpenIndexes(context, *table);
  bool clean = true;
  Json report = Json::array();
  for (auto& file : files) {
    auto* compound = dynamic_cast<tables::XBobjCDXFile*>(file.get());
    const tables::XbIndexCheck check =
        compound ? tables::XbVerifyCdx(*compound) : tables::XbVerifyIndexFamily(*file);
    clean = clean && check.clean();
    const std::string name = DisplayName(context, file->diskFile().path());
    if (context.arguments.Has("--json")) {
      report.push_back(FileJson(name, check, context.codec));
    } else {
      PrintFile(context.out, name, check, context.codec, file->TagCount());
    }
  }
  if (context.arguments.Has("--json")) {
    context.out << JsonText(Json{{"clean", clean}, {"files", report}}) << '\n';
  }
  return clean ? kExitSuccess : kExitNegative;
}

}  // namespace

const Verb& VerifyVerb() {
  static const Verb verb{"verify",    "check index files against their table", kHelp,
                         {{"TABLE"}}, {{"--index", true, true}, {"--json"}},   RunVerify};
  return verb;
}

}  // namespace tools::xbtool
