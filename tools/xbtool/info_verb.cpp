// info FILE: the header facts of a table and its field list.
#include <cstdio>
#include <iomanip>

#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_format.hpp"
#include "tables/storage/table_names.hpp"
#include "tools/xbtool/table_access.hpp"

namespace tools::xbtool {
namespace {

// Header byte 29: the language (code page) byte, which the engine keeps but does not read.
constexpr int kLanguageByte = 29;

constexpr const char* kHelp =
    "Usage: xbtool info FILE [--key K]\n"
    "\n"
    "Prints the table's header facts (version byte, last update, record count, header and\n"
    "record length, encryption, table flags, code page byte, memo file and block size) and\n"
    "its fields (name, type, length, decimals, offset in the record).\n";

std::string Hex(unsigned value, int digits = 2) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

const char* VersionKind(std::uint8_t version) {
  switch (version) {
    case tables::xb_version::Plain:
      return "plain table, no memo file";
    case tables::xb_version::Visual:
      return "table with binary field types, .FPT memo file when flagged";
    case tables::xb_version::DBase3Memo:
      return "table with .DBT memo file (512-byte blocks, texts ended by 0x1A 0x1A)";
    case tables::xb_version::DBase4Memo:
      return "table with .DBT memo file (block headers, free chain)";
    default:
      return "table with .FPT memo file";
  }
}

// The code page a language byte stands for; 0 for one the tool does not know.
unsigned CodePageOfLanguageByte(std::uint8_t byte) {
  static constexpr struct {
    std::uint8_t byte;
    unsigned codePage;
  } kLanguageBytes[] = {{0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x57, 1252}, {0x64, 852},
                        {0x65, 866},  {0x66, 865},  {0x67, 861},  {0x6A, 737},  {0x6B, 857},
                        {0x7D, 1255}, {0x7E, 1256}, {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254},
                        {0xCB, 1253}, {0xCC, 1257}};
  for (const auto& entry : kLanguageBytes) {
    if (entry.byte == byte) return entry.codePage;
  }
  return 0;
}

std::string CodePageFact(std::uint8_t byte, const TextCodec& codec) {
  if (byte == 0) return Hex(byte) + " (not set)";
  const unsigned codePage = CodePageOfLanguageByte(byte);
  if (codePage == 0) return Hex(byte) + " (unknown)";
  std::string fact = Hex(byte) + " (code page " + std::to_string(codePage) + ")";
  if (!codec.raw() && codec.codePage() != codePage) {
    fact +=
        "; texts are shown in code page " + std::to_string(codec.codePage()) + " (see --codepage)";
  }
  return fact;
}

// Years are stored modulo 100 by most writers, as year - 1900 by some.
std::string UpdateDateFact(const std::uint8_t* header) {
  const int stored = header[tables::xb_header::UpdateDate];
  const int year = stored >= 100 ? 1900 + stored : stored < 80 ? 2000 + stored : 1900 + stored;
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d (bytes %02X %02X %02X)", year,
                header[tables::xb_header::UpdateDate + 1],
                header[tables::xb_header::UpdateDate + 2], header[1], header[2], header[3]);
  return text;
}

std::string FlagsFact(std::uint8_t flags) {
  std::string fact = Hex(flags);
  const char* names[] = {"structural index", "memo file", "database container"};
  std::string meaning;
  for (int bit = 0; bit < 3; ++bit) {
    if (flags & (1 << bit)) meaning += (meaning.empty() ? "" : ", ") + std::string(names[bit]);
  }
  return meaning.empty() ? fact : fact + " (" + meaning + ")";
}

std::string MemoFact(const VerbContext& context, tables::XBO_dBaseFld& table) {
  if (!table.hasMemo()) {
    for (int n = 1; n <= table.FieldCount(); ++n) {
      if (table.FieldType(n) == 'M' || table.FieldType(n) == 'G') {
        return "none: the memo flag is not set, so memo fields read as empty";
      }
    }
    return "none";
  }
  const std::string path =
      tables::XbWithExtension(table.path(), tables::XbMemoExtension(table.memoKind()));
  if (!context.machine.files().Exists(path)) return DisplayName(context, path) + " (missing)";
  return DisplayName(context, path) + ", block size " +
         std::to_string(table.MemoFile().blockSize());
}

void PrintFact(std::ostream& out, const char* name, const std::string& fact) {
  out << std::left << std::setw(15) << name << fact << '\n';
}

void PrintFields(std::ostream& out, tables::XBO_dBaseFld& table, const TextCodec& codec) {
  out << "Fields (" << table.FieldCount() << "):\n";
  out << "     #  Name         Type  Length  Decimals  Offset\n";
  for (int n = 1; n <= table.FieldCount(); ++n) {
    out << std::right << std::setw(6) << n << "  " << std::left << std::setw(13)
        << codec.ToTerminal(table.FieldName(n)) << std::setw(4) << table.FieldType(n) << std::right
        << std::setw(8) << table.FieldLength(n) << std::setw(10) << table.FieldDecimals(n)
        << std::setw(8) << table.FieldOffset(n) << '\n';
  }
}

int RunInfo(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  auto table = OpenTable(context, positionals[0], TableAccess::Read);
  const std::uint8_t* header = table->headerBlock();
  std::ostream& out = context.out;
  PrintFact(out, "File", DisplayName(context, table->path()));
  PrintFact(out, "Version", Hex(table->version()) + " (" + VersionKind(table->version()) + ")");
  PrintFact(out, "Last update", UpdateDateFact(header));
  std::string records = std::to_string(table->recordCount());
  const std::uint32_t stored = tables::ReadLE32(header + tables::xb_header::RecordCount);
  if (stored != static_cast<std::uint32_t>(table->recordCount())) {
    records += " (from the file size; the header says " + std::to_string(stored) + ")";
  }
  PrintFact(out, "Records", records);
  PrintFact(out, "Header length", std::to_string(table->headerLength()));
  PrintFact(out, "Record length", std::to_string(table->recordLength()));
  PrintFact(out, "Encrypted", table->encrypted() ? "yes" : "no");
  PrintFact(out, "Table flags", FlagsFact(header[tables::xb_header::Flags]));
  PrintFact(out, "Code page", CodePageFact(header[kLanguageByte], context.codec));
  PrintFact(out, "Memo file", MemoFact(context, *table));
  PrintFields(out, *table, context.codec);
  return kExitSuccess;
}

}  // namespace

const Verb& InfoVerb() {
  static const Verb verb{"info", "show a table's header facts and fields", kHelp, {{"FILE"}}, {},
                         RunInfo};
  return verb;
}

}  // namespace tools::xbtool
