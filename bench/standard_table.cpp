#include "bench/standard_table.hpp"

#include <stdlib.h>

#include <stdexcept>

#include "tables/storage/create_table.hpp"

namespace bench {

std::int32_t StandardRecordCount() {
  const char* text = std::getenv("KORVANE_BENCH_RECORDS");
  return text ? static_cast<std::int32_t>(std::stol(text)) : 1000000;
}

void CreateStandardTable(const std::string& path) {
  tables::CreateTable(path, 0x30,
                      {{"SITE", 'C', 60, 0},
                       {"USER", 'C', 1, 0},
                       {"REASONS", 'C', 10, 0},
                       {"NUM", 'N', 10, 2},
                       {"D", 'D', 8, 0},
                       {"L", 'L', 1, 0},
                       {"MEMO", 'M', 4, 0}});
}

void FillStandardFields(tables::XBO_dBaseFld& table, const StandardRecord& record) {
  table.BlankRecord();
  table.SetFieldText(1, record.site);
  table.SetFieldText(2, record.user);
  table.SetFieldText(3, record.reasons);
  table.SetFieldText(4, record.num);
  table.SetFieldText(5, record.date);
  table.SetFieldLogical(6, record.logical);
  if (!record.memo.empty()) table.SetMemoText(7, record.memo);
}

BenchFolder::BenchFolder(std::string_view prefix) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

BenchFolder::~BenchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace bench
