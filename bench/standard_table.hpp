#pragma once
// The standard benchmark table on the host: SITE C(60), USER C(1), REASONS C(10), NUM N(10,2),
// D D, L L, MEMO M in a table of version 0x30 with its .FPT memo file, in a folder of its own.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "bench/standard_records.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace bench {

// How many records a run makes: KORVANE_BENCH_RECORDS (for quick runs), else 1,000,000.
std::int32_t StandardRecordCount();

// Creates the empty standard table (and its memo file) at path.
void CreateStandardTable(const std::string& path);

// Blanks the record buffer and sets the record's values through the engine's setters; the
// memo is written when the record has one.
void FillStandardFields(tables::XBO_dBaseFld& table, const StandardRecord& record);

// A fresh host folder for one run's files ("<temp>/<prefix>-XXXXXX"), removed at the end.
class BenchFolder {
 public:
  explicit BenchFolder(std::string_view prefix);
  ~BenchFolder();
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace bench
