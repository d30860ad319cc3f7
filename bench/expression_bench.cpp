// Expression evaluation speed on the standard benchmark table: 1,000,000 site-list records
// (SITE C(60), USER C(1), REASONS C(10), NUM N(10,2), D D, L L, MEMO M in a table of version
// 0x30 with its memo file), built untimed from the standard record generator. Each benchmark
// reads every record in natural order and evaluates one expression for it; the items rate is
// evaluations per second. The record scan alone and the evaluations alone (on one record) are
// measured too, so that the expressions' own share can be told apart.
//
// KORVANE_BENCH_RECORDS overrides the record count (for quick runs).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/native/native_machine.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/engine.hpp"

namespace {

// The standard generator: s = (s * 1103515245 + 12345) mod 2^31, r = s >> 16. Record n depends
// on every draw before it, so records are made strictly in order.
class StandardRecords {
 public:
  explicit StandardRecords(std::uint64_t seed) : s_(seed) {}

  struct Record {
    std::string site, user, reasons, num, memo;
    std::int32_t day = 0;  // 0: empty date
    bool logical = false;
  };

  Record Next(std::int64_t n) {
    static const char* const kPrefixes[] = {"www.",  "http://www.", "https://", "ftp.",
                                            "mail.", "News.",       "WWW.",     "shop."};
    static const char* const kSuffixes[] = {".com", ".org", ".net", ".de", ".co.uk", ".IO"};
    static const char* const kReasons[] = {"SPAM", "PHISHING", "MALWARE", "ADULT", "GAMBLING",
                                           "OK",   "",         "UNKNOWN", "ADS",   "TRACKER"};
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    Record record;
    if (Draw() % 50 == 0) {
      record.site = "www.example.com";
    } else {
      record.site = kPrefixes[Draw() % 8];
      std::uint64_t length = 3 + Draw() % 18;
      for (std::uint64_t i = 0; i < length; ++i)
        record.site += kLetters[Draw() % 36];
      record.site += kSuffixes[Draw() % 6];
    }
    std::uint64_t a = Draw(), b = Draw();
    std::uint64_t cents = (a * 32768 + b) % 100000;
    bool negative = Draw() % 10 == 0 && cents != 0;
    char num[32];
    std::snprintf(num, sizeof num, "%s%llu.%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(cents / 100),
                  static_cast<unsigned long long>(cents % 100));
    record.num = num;
    if (Draw() % 100 != 0) {
      a = Draw(), b = Draw();
      record.day = kFirstOf2000 + static_cast<std::int32_t>((a * 32768 + b) % 9000);
    }
    if (n % 10 == 1) {
      record.memo = "Memo " + std::to_string(n) + ": ";
      std::uint64_t copies = 1 + Draw() % 5;
      for (std::uint64_t i = 0; i < copies; ++i)
        record.memo += record.site;
    }
    record.user = std::string(1, static_cast<char>('A' + Draw() % 26));
    record.reasons = kReasons[Draw() % 10];
    record.logical = Draw() % 2 == 0;
    return record;
  }

 private:
  static constexpr std::int32_t kFirstOf2000 = 2451545;
  std::uint64_t Draw() {
    s_ = (s_ * 1103515245 + 12345) % 2147483648ULL;
    return s_ >> 16;
  }
  std::uint64_t s_;
};

std::int32_t RecordCount() {
  const char* text = std::getenv("KORVANE_BENCH_RECORDS");
  return text ? static_cast<std::int32_t>(std::stol(text)) : 1000000;
}

// The benchmark table on the host, made once per run and removed at the end.
class BenchTable {
 public:
  BenchTable() : scoped_(machine_) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvane-expression-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    std::string path = (folder_ / "SITES.DBF").string();
    Build(path, RecordCount());
    table_ = std::make_unique<tables::XBO_dBaseFld>(path, false, false, "");
  }
  ~BenchTable() {
    table_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  tables::XBO_dBaseFld& table() { return *table_; }

 private:
  static void Build(const std::string& path, std::int32_t count) {
    tables::CreateTable(path, 0x30,
                        {{"SITE", 'C', 60, 0},
                         {"USER", 'C', 1, 0},
                         {"REASONS", 'C', 10, 0},
                         {"NUM", 'N', 10, 2},
                         {"D", 'D', 8, 0},
                         {"L", 'L', 1, 0},
                         {"MEMO", 'M', 4, 0}});
    tables::XBO_dBaseFld table(path, false, true, "");
    StandardRecords records(1);
    for (std::int32_t n = 1; n <= count; ++n) {
      StandardRecords::Record record = records.Next(n);
      table.BlankRecord();
      table.SetFieldText(1, record.site);
      table.SetFieldText(2, record.user);
      table.SetFieldText(3, record.reasons);
      table.SetFieldText(4, record.num);
      if (record.day) table.SetFieldDate(5, record.day);
      table.SetFieldLogical(6, record.logical);
      if (!record.memo.empty()) table.SetMemoText(7, record.memo);
      table.AppendRecord();
    }
  }

  platform::NativeMachine machine_;
  platform::ScopedMachine scoped_;
  tables::XbEngineScope engine_;
  tables::TxbExpEngineScope expressions_;
  std::filesystem::path folder_;
  std::unique_ptr<tables::XBO_dBaseFld> table_;
};

BenchTable& Table() {
  static BenchTable table;
  return table;
}

void ScanOnly(benchmark::State& state) {
  tables::XBO_dBaseFld& table = Table().table();
  for (auto _ : state) {
    for (std::int32_t n = 1; n <= table.recordCount(); ++n)
      table.ReadRecord(n);
  }
  state.SetItemsProcessed(state.iterations() * table.recordCount());
}

// Scans the table evaluating expression for every record. A Boolean expression reports how
// many records it holds for (449,434 for NUM > 500 at 1,000,000 records).
void Evaluate(benchmark::State& state, const char* expression) {
  tables::XBO_dBaseFld& table = Table().table();
  tables::TxbExpHandler handler(&tables::XbTableLink(table), false, expression);
  std::int64_t trueCount = 0;
  for (auto _ : state) {
    trueCount = 0;
    for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
      table.ReadRecord(n);
      const tables::TxbExpValue& value = handler.Evaluate();
      benchmark::DoNotOptimize(&value);
      if (handler.ResultType() == tables::xb_type::Boolean && value.ToBoolean()) ++trueCount;
    }
  }
  state.SetItemsProcessed(state.iterations() * table.recordCount());
  if (handler.ResultType() == tables::xb_type::Boolean) {
    state.counters["true"] = static_cast<double>(trueCount);
  }
}

// The evaluation alone: as many evaluations as the table has records, on record 1.
void EvaluateInPlace(benchmark::State& state, const char* expression) {
  tables::XBO_dBaseFld& table = Table().table();
  tables::TxbExpHandler handler(&tables::XbTableLink(table), false, expression);
  table.ReadRecord(1);
  for (auto _ : state) {
    for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
      benchmark::DoNotOptimize(&handler.Evaluate());
    }
  }
  state.SetItemsProcessed(state.iterations() * table.recordCount());
}

constexpr const char* kUpperSite = "Upper(SITE)";
constexpr const char* kNumAndNotDeleted = "NUM > 500 .AND. DELETED() = .F.";

void UpperSite(benchmark::State& state) {
  Evaluate(state, kUpperSite);
}
void NumAndNotDeleted(benchmark::State& state) {
  Evaluate(state, kNumAndNotDeleted);
}
void UpperSiteInPlace(benchmark::State& state) {
  EvaluateInPlace(state, kUpperSite);
}
void NumAndNotDeletedInPlace(benchmark::State& state) {
  EvaluateInPlace(state, kNumAndNotDeleted);
}

BENCHMARK(ScanOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(UpperSite)->Unit(benchmark::kMillisecond);
BENCHMARK(NumAndNotDeleted)->Unit(benchmark::kMillisecond);
BENCHMARK(UpperSiteInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(NumAndNotDeletedInPlace)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
