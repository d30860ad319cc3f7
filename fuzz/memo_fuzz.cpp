// Memo files from untrusted bytes, of each kind: dBase III and dBase IV ".DBT", FoxPro ".FPT"
// (under a FoxPro 2 and a Visual FoxPro table). The input is
//   byte 0      bits 0-1 the kind, bit 2 an encrypted table, bit 3 rewrite a memo afterwards,
//               bit 4 open the table shared, bits 5-7 the length of that memo in steps of
//               200 bytes;
//   bytes 1-16  four block numbers (little endian) the table's memo fields point at;
//   the rest    the memo file.
// Every memo of every record is read; a memo written afterwards must read back as written.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/fuzz_machine.hpp"
#include "fuzz/support/try_read.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace {

struct MemoKind {
  std::uint8_t version;
  const char* memoFile;
  std::vector<tables::XbFieldDef> fields;
};

const std::array<MemoKind, 4>& Kinds() {
  static const std::array<MemoKind, 4> kinds{{
      {0x83, "FUZZ.DBT", {{"NAME", 'C', 8, 0}, {"NOTE", 'M', 10, 0}}},
      {0x8B, "FUZZ.DBT", {{"NAME", 'C', 8, 0}, {"NOTE", 'M', 10, 0}, {"PIC", 'G', 10, 0}}},
      {0xF5, "FUZZ.FPT", {{"NOTE", 'M', 10, 0}, {"PIC", 'G', 10, 0}, {"BLOB", 'B', 10, 0}}},
      {0x30, "FUZZ.FPT", {{"NOTE", 'M', 4, 0}, {"NAME", 'C', 8, 0}, {"PIC", 'G', 4, 0}}},
  }};
  return kinds;
}

constexpr std::string_view kKey = "KORVANE";
constexpr std::size_t kBlockCount = 4;
constexpr std::size_t kPrefixSize = 1 + 4 * kBlockCount;

struct Input {
  const MemoKind* kind = nullptr;
  bool encrypted = false;
  bool rewrite = false;
  bool shared = false;
  std::size_t rewriteLength = 0;
  std::array<std::uint32_t, kBlockCount> blocks{};
  const std::uint8_t* memo = nullptr;
  std::size_t memoSize = 0;
};

Input Split(const std::uint8_t* data, std::size_t size) {
  Input input;
  input.kind = &Kinds()[data[0] & 3];
  input.encrypted = (data[0] & 4) != 0;
  input.rewrite = (data[0] & 8) != 0;
  input.shared = (data[0] & 16) != 0;
  input.rewriteLength = (data[0] >> 5) * std::size_t{200};
  for (std::size_t i = 0; i < kBlockCount; ++i) {
    const std::uint8_t* at = data + 1 + 4 * i;
    input.blocks[i] = at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
  }
  input.memo = data + kPrefixSize;
  input.memoSize = size - kPrefixSize;
  return input;
}

bool IsMemoField(const tables::XbFieldDef& field) {
  return field.type == 'M' || field.type == 'G' || field.type == 'B';
}

// Visual FoxPro tables hold block numbers as signed 32-bit integers.
double StorableBlock(const Input& input, std::uint32_t block) {
  return input.kind->version == 0x30 ? block & 0x7FFFFFFFu : block;
}

// The table, its records pointing at the input's blocks, and the memo file replaced by the
// input's bytes. The memo file opens only when a memo is first read.
std::string MakeTable(const Input& input) {
  const auto& machine = fuzz::FuzzMachine::Get();
  machine.Remove("FUZZ.DBF");
  machine.Remove(input.kind->memoFile);
  const std::string path = machine.Path("FUZZ.DBF");
  const std::string_view key = input.encrypted ? kKey : std::string_view();
  tables::CreateTable(path, input.kind->version, input.kind->fields, key);
  tables::XBO_dBaseFld table(path, false, true, key);
  for (std::size_t record = 0; record < kBlockCount; ++record) {
    table.BlankRecord();
    for (int n = 1; n <= table.FieldCount(); ++n) {
      if (IsMemoField(input.kind->fields[n - 1]))
        table.SetFieldNumber(n, StorableBlock(input, input.blocks[(record + n) % kBlockCount]));
    }
    table.AppendRecord();
  }
  machine.Write(input.kind->memoFile, input.memo, input.memoSize);
  return path;
}

void ReadMemos(tables::XBO_dBaseFld& table) {
  for (std::int32_t record = 1; record <= table.recordCount(); ++record) {
    table.ReadRecord(record);
    for (int n = 1; n <= table.FieldCount(); ++n)
      fuzz::TryRead([&] { table.GetMemoText(n); });
  }
}

std::string RewriteText(std::size_t length) {
  std::string text(length, ' ');
  for (std::size_t i = 0; i < length; ++i)
    text[i] = static_cast<char>('a' + i % 26);
  return text;
}

// The first memo field of record 1 gets a new text, which must then read back unchanged.
void Rewrite(tables::XBO_dBaseFld& table, std::size_t length) {
  const int field = table.fields().front().type == 'M' ? 1 : 2;
  const std::string text = RewriteText(length);
  table.ReadRecord(1);
  table.SetMemoText(field, text);
  table.WriteRecord(1);
  table.ReadRecord(1);
  const std::string stored = table.GetMemoText(field);
  if (stored != text) {
    std::fprintf(stderr, "a memo of %zu bytes read back as %zu other bytes\n", text.size(),
                 stored.size());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kPrefixSize) return 0;
  const Input input = Split(data, size);
  const std::string path = MakeTable(input);
  const std::string_view key = input.encrypted ? kKey : std::string_view();
  tables::XBO_dBaseFld table(path, input.shared, input.rewrite, key);
  ReadMemos(table);
  if (input.rewrite) fuzz::TryRead([&] { Rewrite(table, input.rewriteLength); });
  return 0;
}
