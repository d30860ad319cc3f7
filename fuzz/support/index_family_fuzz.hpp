#pragma once
// What the NDX, NTX and MDX fuzz targets share: a small table beside the index file (made once),
// and the reading of an index file from untrusted bytes: opening it, walking every tag both
// ways, seeking keys of every type and verifying it. Bad bytes must give the engine's errors,
// never a crash, an endless walk or a foreign exception.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_machine.hpp"
#include "fuzz/support/try_read.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/index_file.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace fuzz {

// The table FUZZIDX.DBF: a text, a numeric and a date field over a few records.
std::string IndexFuzzTable();

// The reads once the file is open.
void ExerciseIndexFile(tables::XBobjIndexFile& file);

// Writes the bytes as name beside the table and reads them through the file open(table, path)
// makes.
template <typename Open>
void ReadIndexBytes(std::string_view name, const std::uint8_t* data, std::size_t size, Open open) {
  const tables::TxbExpEngineScope expressions;
  const std::string table = IndexFuzzTable();
  const std::string path = FuzzMachine::Get().Write(name, data, size);
  tables::XBO_dBaseFld dbf(table, true, false, "");
  TryRead([&] {
    auto file = open(dbf, path);
    ExerciseIndexFile(*file);
  });
}

}  // namespace fuzz
