// dump FILE [--deleted]: the records as text, one field a line, memo texts in full.
#include <algorithm>
#include <string>
#include <vector>

#include "tools/xbtool/field_value.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool dump FILE [--deleted] [--key K]\n"
    "\n"
    "Prints the table's records, one field a line, memo texts included.\n"
    "\n"
    "  --deleted  also print deleted records (marked \"(deleted)\")\n";

// Continuation lines of a many-line value start under the first one.
void PrintValue(std::ostream& out, std::string_view text, std::size_t indent) {
  bool first = true;
  while (true) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!first) out << std::string(indent, ' ');
    out << line << '\n';
    first = false;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

int RunDump(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const bool withDeleted = context.arguments.Has("--deleted");
  auto table = OpenTable(context, positionals[0], TableAccess::Read);
  std::vector<std::string> names;
  std::size_t nameWidth = 0;
  for (int n = 1; n <= table->FieldCount(); ++n) {
    names.push_back(context.codec.ToTerminal(table->FieldName(n)));
    nameWidth = std::max(nameWidth, names.back().size());
  }
  const std::size_t indent = 2 + nameWidth + 2;
  ForEachRecord(*table, [&] {
    if (table->RecordDeleted() && !withDeleted) return;
    context.out << "Record " << table->currentRecord()
                << (table->RecordDeleted() ? " (deleted)" : "") << '\n';
    for (int n = 1; n <= table->FieldCount(); ++n) {
      const std::string& name = names[static_cast<std::size_t>(n - 1)];
      const std::string value = PlainText(ReadFieldValue(*table, n, context.codec));
      context.out << "  " << name;
      if (!value.empty()) context.out << std::string(indent - 2 - name.size(), ' ');
      PrintValue(context.out, value, indent);
    }
  });
  return kExitSuccess;
}

}  // namespace

const Verb& DumpVerb() {
  static const Verb verb{"dump", "print the records as text", kHelp, {{"FILE"}}, {{"--deleted"}},
                         RunDump};
  return verb;
}

}  // namespace tools::xbtool
