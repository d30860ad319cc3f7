#include "tools/xbbench/bench_phases.hpp"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
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

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double Milliseconds(Clock::duration elapsed) {
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

std::string Report(const char* phase, std::int64_t count, Clock::duration work) {
  char line[160];
  std::snprintf(line, sizeof line, "PHASE %s n=%lld ms=%.1f peak_mib=%.1f", phase,
                static_cast<long long>(count), Milliseconds(work), PeakMiB());
  return line;
}

std::string TablePath(const std::string& base) {
  return base + ".DBF";
}

std::unique_ptr<tables::XBO_dBaseFld> OpenTable(const std::string& base, bool writable) {
  return std::make_unique<tables::XBO_dBaseFld>(TablePath(base), false, writable, "");
}

Clock::duration ReadInBlocks(const std::string& path) {
  tables::XBO_DiskFile file;
  file.Open(path, false, false);
  std::vector<std::uint8_t> block(kReadBlock);
  const auto start = Clock::now();
  for (std::uint64_t at = 0; file.ReadAt(at, block.data(), kReadBlock) == kReadBlock;) {
    at += kReadBlock;
  }
  return Clock::now() - start;
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
  const Clock::duration read = ReadInBlocks(TablePath(base));
  auto table = OpenTable(base, true);
  const auto start = Clock::now();
  tables::XBobjCDXFile index(*table, base + ".CDX", "", {true, false, true});
  tables::XbTagDefinition definition;
  definition.name = kTag;
  definition.keyExpression = kKeyExpression;
  index.AddTag(definition);
  const Clock::duration work = Clock::now() - start;
  return Report("index", count, work) + "\n" + Report("read64k", table->recordCount(), read);
}

std::string SeekPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
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
  const auto start = Clock::now();
  for (std::size_t i = 0; i < keys.size(); ++i)
    found[i] = tag->Seek(keys[i], true);
  const Clock::duration work = Clock::now() - start;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (found[i] == 0) throw std::runtime_error("a seek found nothing");
    table->ReadRecord(found[i]);
    tag->EvaluateKey(key);
    if (key != keys[i].bytes()) throw std::runtime_error("a seek found the wrong record");
  }
  return Report("seek", kSeeks, work);
}

std::string ScanPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
  const Clock::duration read = ReadInBlocks(TablePath(base));
  tables::XBO_dBHandler table(TablePath(base), false, false, "");
  std::int64_t matches = 0;
  const auto start = Clock::now();
  table.SetReadAhead(true);
  table.BuildFilter(kScanFilter, false, false);
  table.EnableFilter(true);
  for (table.GoRecord(tables::xb_move::First); !table.eof(); table.Skip(1))
    ++matches;
  const Clock::duration work = Clock::now() - start;
  return Report("scan", count, work) + " matches=" + std::to_string(matches) + "\n" +
         Report("read64k", table.recordCount(), read);
}

std::string IndexedAppendPhase(const std::string& base, std::int32_t count) {
  const tables::TxbExpEngineScope expressions;
  tables::XBO_dBHandler table(TablePath(base), false, true, "");
  if (table.recordCount() != count) {
    throw std::runtime_error("the table holds " + std::to_string(table.recordCount()) +
                             " records, not N: run the phases before with the same N");
  }
  table.OpenIndexes(base + ".CDX", kTag);
  bench::StandardRecords records(kIndexedAppendSeed);
  Clock::duration work{};
  for (std::int32_t n = 1; n <= kIndexedAppends; ++n) {
    table.BlankRecord();
    bench::FillStandardFields(table, records.Next(n));
    const auto start = Clock::now();
    table.AppendRecord();
    work += Clock::now() - start;
  }
  const auto start = Clock::now();
  table.Close();
  work += Clock::now() - start;
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
  return Report("appendidx", kIndexedAppends, work);
}

}  // namespace tools::xbbench
