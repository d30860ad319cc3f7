#include "tools/xbbench/bench_phases.hpp"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <vector>

#include "bench/standard_records.hpp"
#include "bench/standard_table.hpp"
#include "tables/handler/db_handler.hpp"
#include "tables/index/cdx_file.hpp"
#include "tables/index/exp_global_registry.hpp"

namespace tools::xbbench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kSeeks = 100000;
constexpr std::uint64_t kSeekSeed = 12345;
constexpr std::uint32_t kReadBlock = 64 * 1024;
constexpr const char* kTag = "SITE";
constexpr const char* kKeyExpression = "Upper(SITE)";
constexpr const char* kScanFilter = "NUM > 500";
constexpr std::int32_t kIndexedAppends = 100000;
constexpr std::uint64_t kIndexedAppendSeed = 777;
constexpr std::int32_t kAppendBatch = 1000;

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double Milliseconds(Clock::duration elapsed) {
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

// The processor time the process has used so far.
double ProcessorMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Elapsed and processor time of one stretch of work: on a machine that other work loads the
// processor time shows what the elapsed time would be without it.
struct Timed {
  Clock::duration work{};
  double processorMs = 0;
};

template <typename Work>
Timed Time(Work&& work) {
  const double processorStart = ProcessorMilliseconds();
  const auto start = Clock::now();
  work();
  return {Clock::now() - start, ProcessorMilliseconds() - processorStart};
}

std::string Report(const char* phase, std::int64_t count, Clock::duration work) {
  char line[160];
  std::snprintf(line, sizeof line, "PHASE %s n=%lld ms=%.1f peak_mib=%.1f", phase,
                static_cast<long long>(count), Milliseconds(work), PeakMiB());
  return line;
}

std::string Report(const char* phase, std::int64_t count, const Timed& timed) {
  char processor[40];
  std::snprintf(processor, sizeof processor, " cpu_ms=%.1f", timed.processorMs);
  return Report(phase, count, timed.work) + processor;
}

std::string TablePath(const std::string& base) {
  return base + ".DBF";
}

std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const std::string& base, bool writable) {
  return std::make_unique<tables::XBO_dBaseFld>(TablePath(base), false, writable, "");
}

Timed ReadInBlocks(const std::string& path) {
  tables::XBO_DiskFile file;
  file.Open(path, false, false);
  std::vector<std::uint8_t> block(kReadBlock);
  return Time([&] {
    for (std::uint64_t at = 0; file.ReadAt(at, block.data(), kReadBlock) == kReadBlock;) {
      at += kReadBlock;
    }
  });
}

}  // namespace

std::string AppendPhase(const std::string& base, std::int32_t count) {
  bench::CreateStandardTable(TablePath(base));
  auto table = OpenTable(base, true);
  bench::StandardRecords records;
  Clock::duration work{};
  for (std::int32_t n = 1; n <= count; ++n) {
    bench::FillStandardFields(*table, records.Next(n));
    const auto start = Clock::now();
    table->AppendRecord();
    work += Clock::now() - start;
  }
  const auto start = Clock::now();
  table->Close();
  work += Clock::now() - start;
  return Report("append", count, work);
}

std::string IndexPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
  const Timed read = ReadInBlocks(TablePath(base));
  auto table = OpenTable(base, true);
  const Timed work = Time([&] {
    tables::XBobjCDXFile index(*table, base + ".CDX", "", {true, false, true});
    tables::XbTagDefinition definition;
    definition.name = kTag;
    definition.keyExpression = kKeyExpression;
    index.AddTag(definition);
  });
  return Report("index", count, work) + "\n" + Report("read64k", table->recordCount(), read);
}

std::string SeekPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
  const Timed read = ReadInBlocks(TablePath(base));
  auto table = OpenTable(base, false);
  tables::XBobjCDXFile index(*table, base + ".CDX", "", {false, false, false});
  tables::XBobjCDXTag* tag = index.CdxTagByName(kTag);
  if (!tag) throw std::runtime_error("no tag SITE: run the index phase first");
  bench::StandardRecords draws(kSeekSeed);
  std::vector<tables::TxbVariant> keys(kSeeks);
  std::string key;
  for (auto& value : keys) {
    const std::uint64_t first = draws.Draw();
    const std::uint64_t second = draws.Draw();
    table->ReadRecord(static_cast<std::int32_t>(1 + (first * 32768 + second) % count));
    tag->EvaluateKey(key);
    value.SetRaw(key);
  }
  std::vector<std::int32_t> found(kSeeks);
  const Timed work = Time([&] {
    for (std::size_t i = 0; i < keys.size(); ++i)
      found[i] = tag->Seek(keys[i], true);
  });
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (found[i] == 0) throw std::runtime_error("a seek found nothing");
    table->ReadRecord(found[i]);
    tag->EvaluateKey(key);
    if (key != keys[i].bytes()) throw std::runtime_error("a seek found the wrong record");
  }
  return Report("seek", kSeeks, work) + "\n" + Report("read64k", table->recordCount(), read);
}

std::string ScanPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
  const Timed read = ReadInBlocks(TablePath(base));
  tables::XBO_dBHandler table(TablePath(base), false, false, "");
  std::int64_t matches = 0;
  const Timed work = Time([&] {
    table.SetReadAhead(true);
    table.BuildFilter(kScanFilter, false, false);
    const tables::TxbHugeSet& admitted = *table.filterSet();
    for (std::int32_t n = admitted.NextAfter(0); n != 0; n = admitted.NextAfter(n))
      ++matches;
  });
  return Report("scan", count, work) + " matches=" + std::to_string(matches) + "\n" +
         Report("read64k", table.recordCount(), read);
}

std::string IndexedAppendPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
  const Timed read = ReadInBlocks(TablePath(base));
  tables::XBO_dBHandler table(TablePath(base), false, true, "");
  if (table.recordCount() != count) {
    throw std::runtime_error("the table holds " + std::to_string(table.recordCount()) +
                             " records, not N: run the phases before with the same N");
  }
  table.OpenIndexes(base + ".CDX", kTag);
  bench::StandardRecords generator(kIndexedAppendSeed);
  std::vector<bench::StandardRecord> batch;
  Timed all;
  // Records are made a batch at a time, untimed. The processor time covers the setting of the
  // fields too: read around each append alone, the processor clock would cost more than some
  // appends.
  for (std::int32_t first = 1; first <= kIndexedAppends; first += kAppendBatch) {
    batch.clear();
    for (std::int32_t n = first; n < first + kAppendBatch && n <= kIndexedAppends; ++n)
      batch.push_back(generator.Next(n));
    all.processorMs += Time([&] {
                         for (const bench::StandardRecord& record : batch) {
                           table.BlankRecord();
                           bench::FillStandardFields(table, record);
                           const auto start = Clock::now();
                           table.AppendRecord();
                           all.work += Clock::now() - start;
                         }
                       }).processorMs;
  }
  const Timed closing = Time([&] { table.Close(); });
  all.work += closing.work;
  all.processorMs += closing.processorMs;
  tables::XBO_dBHandler check(TablePath(base), false, false, "");
  check.OpenIndexes(base + ".CDX", kTag);
  std::int64_t keys = 0;
  tables::XBobjIndexTag& tag = *check.currentTag();
  for (tag.Move(tables::xb_move::First); tag.current(); tag.Move(tables::xb_move::Next))
    ++keys;
  if (keys != check.recordCount()) {
    throw std::runtime_error("the tag holds " + std::to_string(keys) + " keys for " +
                             std::to_string(check.recordCount()) + " records");
  }
  return Report("appendidx", kIndexedAppends, all) + "\n" + Report("read64k", count, read);
}

}  // namespace tools::xbbench
