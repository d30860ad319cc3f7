// Key sort speed on the keys of the standard benchmark's index: Upper(SITE) of 1,000,000
// records, trailing blanks removed as the tag builder gives them. Each run adds every key with
// its record number and takes all of them back in order; beside it, one memcpy of the same key
// bytes (the least any pass over them costs). Rates are keys per second.
//
// Memory: sort_MiB is the peak resident memory during the sort less the resident memory
// before it (the keys themselves are held outside, packed in one buffer); peak_MiB is the
// process's peak. KORVANE_BENCH_RECORDS overrides the record count.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/run_report.hpp"
#include "bench/standard_records.hpp"
#include "bench/standard_table.hpp"
#include "tables/index/key_variant.hpp"
#include "tables/index/txb_sort.hpp"

namespace {

constexpr int kSiteLength = 60;

// The keys back to back; key n (from 0) spans ends[n - 1] to ends[n].
struct SiteKeys {
  std::string bytes;
  std::vector<std::uint32_t> ends;

  std::string_view Key(std::size_t n) const {
    std::uint32_t begin = n == 0 ? 0 : ends[n - 1];
    return std::string_view(bytes).substr(begin, ends[n] - begin);
  }
};

const SiteKeys& Keys() {
  static const SiteKeys keys = [] {
    SiteKeys made;
    bench::StandardRecords generator(1);
    const std::int32_t count = bench::StandardRecordCount();
    made.ends.reserve(static_cast<std::size_t>(count));
    for (std::int32_t n = 1; n <= count; ++n) {
      for (char c : generator.Next(n).site) {
        made.bytes += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
      }
      made.ends.push_back(static_cast<std::uint32_t>(made.bytes.size()));
    }
    return made;
  }();
  return keys;
}

// Resident memory from /proc/self/status: "VmRSS" now or "VmHWM" at its peak, in MiB.
double StatusMiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::strlen(field) + 1)) / 1024;
  }
  return 0;
}

// Starts a new peak from the present resident memory (Linux 4.0 and later), after handing
// the memory of earlier runs back, so that each run's own peak shows.
void ResetPeakMemory() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

void BM_SortSiteKeys(benchmark::State& state) {
  const SiteKeys& keys = Keys();
  const std::size_t count = keys.ends.size();
  double addSeconds = 0;
  double nextSeconds = 0;
  double sortMiB = 0;
  for (auto _ : state) {
    ResetPeakMemory();
    const double before = StatusMiB("VmRSS:");
    auto start = std::chrono::steady_clock::now();
    tables::TxbSort sort(kSiteLength + 1, true, false);
    tables::TxbVariant key;
    for (std::size_t n = 0; n < count; ++n) {
      key.SetText(keys.Key(n));
      sort.Add(key, static_cast<std::int32_t>(n + 1));
    }
    auto added = std::chrono::steady_clock::now();
    std::int32_t record = 0;
    std::int64_t taken = 0;
    while (sort.Next(key, record))
      ++taken;
    auto done = std::chrono::steady_clock::now();
    if (taken != static_cast<std::int64_t>(count)) state.SkipWithError("keys lost in the sort");
    addSeconds = Seconds(added - start);
    nextSeconds = Seconds(done - added);
    sortMiB = StatusMiB("VmHWM:") - before;
  }
  state.counters["add_s"] = addSeconds;
  state.counters["next_s"] = nextSeconds;
  state.counters["sort_MiB"] = sortMiB;
  state.counters["key_MiB"] = static_cast<double>(keys.bytes.size()) / (1024 * 1024);
  bench::ReportWork(state, static_cast<std::int64_t>(count));
}

void BM_MemcpyKeyBytes(benchmark::State& state) {
  const SiteKeys& keys = Keys();
  std::string copy(keys.bytes.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), keys.bytes.data(), keys.bytes.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  bench::ReportWork(state, static_cast<std::int64_t>(keys.ends.size()));
}

void Configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
}

BENCHMARK(BM_SortSiteKeys)->Apply(Configure);
BENCHMARK(BM_MemcpyKeyBytes)->Apply(Configure);

}  // namespace

BENCHMARK_MAIN();
