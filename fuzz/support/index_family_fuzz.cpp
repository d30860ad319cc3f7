#include "fuzz/support/index_family_fuzz.hpp"

#include <filesystem>

#include "tables/index/family_verifier.hpp"
#include "tables/index/index_file.hpp"
#include "tables/storage/create_table.hpp"

namespace fuzz {
namespace {

// Steps beyond this many in one walk stop it: damaged trees may hold more entries than the
// file's few blocks could, but never endlessly many.
constexpr int kMaxSteps = 20000;

void WalkTag(tables::XBobjIndexTag& tag, int first, int step) {
  int steps = 0;
  for (std::int32_t record = tag.Move(first); record != 0 && steps < kMaxSteps;
       record = tag.Move(step))
    ++steps;
}

void SeekKeys(tables::XBobjIndexTag& tag) {
  tables::TxbVariant text;
  text.SetText("BRAVO");
  tables::TxbVariant number;
  number.SetNumber(-12.5);
  tables::TxbVariant date;
  date.SetDate(2451545);
  for (const tables::TxbVariant* key : {&text, &number, &date}) {
    TryRead([&] { tag.Seek(*key, true); });
    TryRead([&] { tag.Seek(*key, false); });
    TryRead([&] { tag.FindRecord(*key); });
  }
  TryRead([&] {
    if (tag.Move(tables::xb_move::Last) != 0) tag.Move(tables::xb_move::Reread);
  });
}

}  // namespace

std::string IndexFuzzTable() {
  const FuzzMachine& machine = FuzzMachine::Get();
  const std::string path = machine.Path("FUZZIDX.DBF");
  if (std::filesystem::exists(path)) return path;
  tables::CreateTable(path, 0x03,
                      {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"HIRED", 'D', 8, 0}}, "");
  tables::XBO_dBaseFld table(path, false, true, "");
  const char* names[] = {"BRAVO", "ALFA", "ECHO", "BRAVO", "", "DELTA", "CHARLIE", "ALFA"};
  for (int n = 0; n < 8; ++n) {
    table.BlankRecord();
    table.SetFieldText("NAME", names[n]);
    table.SetFieldNumber("AMOUNT", (n - 3) * 12.5);
    if (n != 4) table.SetFieldDate("HIRED", 2451545 + 37 * n);
    table.AppendRecord();
  }
  return path;
}

void ExerciseIndexFile(tables::XBobjIndexFile& file) {
  for (int i = 0; i < file.TagCount(); ++i) {
    tables::XBobjIndexTag& tag = *file.TagByIndex(i);
    TryRead([&] { WalkTag(tag, tables::xb_move::First, tables::xb_move::Next); });
    TryRead([&] { WalkTag(tag, tables::xb_move::Last, tables::xb_move::Previous); });
    SeekKeys(tag);
  }
  TryRead([&] { tables::XbVerifyIndexFamily(file); });
  TryRead([&] { file.HasChanged(); });
}

}  // namespace fuzz
