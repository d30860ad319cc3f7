// Table files from untrusted bytes: the header and the field descriptors, then every record and
// each field through every typed accessor (the wrong ones too, which must refuse cleanly). An
// encrypted table is opened with a fixed key.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_machine.hpp"
#include "fuzz/support/try_read.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/xbase_error.hpp"

namespace {

constexpr std::int32_t kMostRecords = 32;  // further records only repeat the same reads
constexpr std::string_view kKey = "KORVANE";

bool Has(std::string_view types, char type) {
  return types.find(type) != std::string_view::npos;
}

// Every accessor on every field when all is set (the wrong ones must refuse cleanly), else
// only those the field's type takes: refusals cost time and repeat themselves.
void ReadFields(tables::XBO_dBaseFld& table, bool all) {
  for (int n = 1; n <= table.FieldCount(); ++n) {
    const char type = table.FieldType(n);
    if (all) fuzz::TryRead([&] { table.FieldDescByName(table.FieldName(n)); });
    fuzz::TryRead([&] { table.GetFieldText(n); });
    fuzz::TryRead([&] { table.GetFieldDisplay(n); });
    if (all || Has("NFBGMITY", type)) fuzz::TryRead([&] { table.GetFieldNumber(n); });
    if (all || type == 'D') fuzz::TryRead([&] { table.GetFieldDate(n); });
    if (all || type == 'L') fuzz::TryRead([&] { table.GetFieldLogical(n); });
    if (all || Has("BGM", type)) fuzz::TryRead([&] { table.GetMemoText(n); });
  }
}

void ReadTable(const std::string& path, std::string_view key) {
  tables::XBO_dBaseFld table(path, false, false, key);
  const std::int32_t count = table.recordCount();
  for (std::int32_t n = 1; n <= std::min(count, kMostRecords); ++n) {
    table.ReadRecord(n);
    ReadFields(table, n == 1);
  }
  fuzz::TryRead([&] { table.ReadRecord(count + 1); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::FuzzMachine::Get().Write("FUZZ.DBF", data, size);
  try {
    ReadTable(path, {});
  } catch (const tables::EXbaseEncryption& error) {
    if (error.code() == tables::xb_code::NoPassword) fuzz::TryRead([&] { ReadTable(path, kKey); });
  } catch (const platform::Exception&) {
  }
  return 0;
}
