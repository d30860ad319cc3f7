// Expression evaluation speed on the standard benchmark table: 1,000,000 site-list records
// (SITE C(60), USER C(1), REASONS C(10), NUM N(10,2), D D, L L, MEMO M in a table of version
// 0x30 with its memo file), built untimed from the standard record generator. Each benchmark
// reads every record in natural order and evaluates one expression for it; the items rate is
// evaluations per second. The record scan alone and the evaluations alone (on one record) are
// measured too, so that the expressions' own share can be told apart.
//
// KORVANE_BENCH_RECORDS overrides the record count (for quick runs).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bench/run_report.hpp"
#include "bench/standard_records.hpp"
#include "bench/standard_table.hpp"
#include "platform/native/native_machine.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/engine.hpp"

namespace {

// The benchmark table on the host, made once per run and removed at the end.
class BenchTable {
 public:
  BenchTable() : scoped_(machine_), folder_("korvane-expression-bench") {
    const std::string path = folder_.File("SITES.DBF");
    Build(path, bench::StandardRecordCount());
    table_ = std::make_unique<tables::XBO_dBaseFld>(path, false, false, "");
  }

  tables::XBO_dBaseFld& table() { return *table_; }

 private:
  static void Build(const std::string& path, std::int32_t count) {
    bench::CreateStandardTable(path);
    tables::XBO_dBaseFld table(path, false, true, "");
    bench::StandardRecords records(1);
    for (std::int32_t n = 1; n <= count; ++n) {
      bench::FillStandardFields(table, records.Next(n));
      table.AppendRecord();
    }
  }

  platform::NativeMachine machine_;
  platform::ScopedMachine scoped_;
  tables::XbEngineScope engine_;
  tables::TxbExpEngineScope expressions_;
  bench::BenchFolder folder_;
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
  bench::ReportWork(state, table.recordCount());
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
      if (handler.ResultType() == tables::xb_type::Boolean && value.boolean()) ++trueCount;
    }
  }
  bench::ReportWork(state, table.recordCount());
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
  bench::ReportWork(state, table.recordCount());
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
