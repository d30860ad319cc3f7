// Table storage speed on the standard benchmark data: appending 1,000,000 records, reading
// every record in natural order and reading 100,000 records picked at random, each beside the
// same work done with plain pread/pwrite of whole records on the same files (what this machine
// allows at best). Rates are records per second ("items_per_second").
//
// The table is the standard one: SITE C(60), USER C(1), REASONS C(10), NUM N(10,2), D D, L L,
// MEMO M, version 0x30 with its .FPT memo file, opened exclusively, not encrypted. Records are
// made before the timing starts. KORVANE_BENCH_RECORDS overrides the record count.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/run_report.hpp"
#include "bench/standard_records.hpp"
#include "bench/standard_table.hpp"
#include "platform/native/native_machine.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/engine.hpp"
#include "tables/storage/memo_file.hpp"

namespace {

constexpr std::int64_t kRandomPicks = 100000;
constexpr std::uint64_t kPickSeed = 12345;

using bench::BenchFolder;

// The records of the run, made once: as field values and as finished record images.
struct Records {
  std::vector<bench::StandardRecord> values;
  std::vector<std::uint8_t> images;  // record length bytes each, memo block numbers 0
  std::uint32_t recordLength = 0;
  int memoOffset = 0;  // of the MEMO field in the record
};

// The images come from the engine's own setters on a scratch table.
const Records& StandardData(const BenchFolder& folder) {
  static const Records records = [&] {
    Records made;
    bench::StandardRecords generator(1);
    const std::string scratch = folder.File("SCRATCH.DBF");
    bench::CreateStandardTable(scratch);
    tables::XBO_dBaseFld table(scratch, false, true, "");
    made.recordLength = table.recordLength();
    made.memoOffset = table.FieldOffset(7);
    const std::int32_t count = bench::StandardRecordCount();
    made.values.reserve(static_cast<std::size_t>(count));
    made.images.reserve(static_cast<std::size_t>(count) * made.recordLength);
    for (std::int32_t n = 1; n <= count; ++n) {
      made.values.push_back(generator.Next(n));
      bench::StandardRecord withoutMemo = made.values.back();
      withoutMemo.memo.clear();
      bench::FillStandardFields(table, withoutMemo);
      made.images.insert(made.images.end(), table.recordImage(),
                         table.recordImage() + made.recordLength);
    }
    return made;
  }();
  return records;
}

// The 1,000,000-record table the read benchmarks share, appended by the engine once.
const std::string& ReadTable(const BenchFolder& folder) {
  static const std::string path = [&] {
    const std::string made = folder.File("SITES.DBF");
    bench::CreateStandardTable(made);
    tables::XBO_dBaseFld table(made, false, true, "");
    for (std::size_t i = 0; i < StandardData(folder).values.size(); ++i) {
      bench::FillStandardFields(table, StandardData(folder).values[i]);
      table.AppendRecord();
    }
    return made;
  }();
  return path;
}

std::vector<std::int32_t> RandomPicks(std::int32_t count) {
  bench::StandardRecords generator(kPickSeed);
  std::vector<std::int32_t> picks;
  for (std::int64_t i = 0; i < kRandomPicks; ++i) {
    const std::uint64_t r1 = generator.Draw(), r2 = generator.Draw();
    picks.push_back(static_cast<std::int32_t>(1 + (r1 * 32768 + r2) % count));
  }
  return picks;
}

BenchFolder* gFolder = nullptr;

// A host file opened for the plain-call benchmarks.
class HostFile {
 public:
  HostFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags, 0644)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + path);
  }
  ~HostFile() { ::close(fd_); }
  int fd() const { return fd_; }

 private:
  int fd_;
};

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

// Appending through the engine to a table open exclusively: the typed setters (or a copied
// image) fill each record and AppendRecord writes it; the table and memo headers are written
// once, when the table closes.
void EngineAppend(benchmark::State& state, bool fromImages, bool underTableLock) {
  const Records& records = StandardData(*gFolder);
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = gFolder->File("APPEND" + std::to_string(run++) + ".DBF");
    bench::CreateStandardTable(path);
    {
      tables::XBO_dBaseFld table(path, false, true, "");
      state.ResumeTiming();
      if (underTableLock) table.LockFile();
      for (std::size_t i = 0; i < records.values.size(); ++i) {
        if (fromImages) {
          std::memcpy(table.recordImage(), &records.images[i * records.recordLength],
                      records.recordLength);
          if (!records.values[i].memo.empty()) table.SetMemoText(7, records.values[i].memo);
        } else {
          bench::FillStandardFields(table, records.values[i]);
        }
        table.AppendRecord();
      }
      if (underTableLock) table.Unlock();
      state.PauseTiming();
    }
    std::filesystem::remove(path);
    std::filesystem::remove(gFolder->File("APPEND" + std::to_string(run - 1) + ".FPT"));
    state.ResumeTiming();
  }
  bench::ReportWork(state, static_cast<std::int64_t>(records.values.size()));
}

void BM_EngineAppend(benchmark::State& state) {
  EngineAppend(state, false, false);
}
void BM_EngineAppendImages(benchmark::State& state) {
  EngineAppend(state, true, false);
}
void BM_EngineAppendImagesUnderTableLock(benchmark::State& state) {
  EngineAppend(state, true, true);
}

// The plain-call ceiling of appending: one pwrite per record image (end mark included) and
// one per memo, into files laid out like the engine's.
void BM_PlainAppend(benchmark::State& state) {
  const Records& records = StandardData(*gFolder);
  const std::uint32_t length = records.recordLength;
  constexpr std::uint32_t kBlockSize = 64;
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = gFolder->File("PLAIN" + std::to_string(run++) + ".DBF");
    bench::CreateStandardTable(path);
    std::uint32_t headerLength;
    {
      tables::XBO_dBaseFld table(path, false, false, "");
      headerLength = table.headerLength();
    }
    const std::string memoPath = path.substr(0, path.size() - 3) + "FPT";
    {
      HostFile table(path, O_RDWR), memo(memoPath, O_RDWR);
      std::vector<std::uint8_t> image(length + 1, 0x1A);
      std::vector<std::uint8_t> memoBlock;
      std::uint64_t nextBlock = 512 / kBlockSize;
      state.ResumeTiming();
      for (std::size_t i = 0; i < records.values.size(); ++i) {
        std::memcpy(image.data(), &records.images[i * length], length);
        const std::string& text = records.values[i].memo;
        if (!text.empty()) {
          const std::size_t blocks = (text.size() + 8 + kBlockSize - 1) / kBlockSize;
          memoBlock.assign(blocks * kBlockSize, 0);
          tables::WriteBE32(memoBlock.data(), 1);
          tables::WriteBE32(memoBlock.data() + 4, static_cast<std::uint32_t>(text.size()));
          std::memcpy(memoBlock.data() + 8, text.data(), text.size());
          Check(::pwrite(memo.fd(), memoBlock.data(), memoBlock.size(),
                         static_cast<off_t>(nextBlock * kBlockSize)) ==
                    static_cast<ssize_t>(memoBlock.size()),
                "memo write");
          tables::WriteLE32(image.data() + records.memoOffset,
                            static_cast<std::uint32_t>(nextBlock));
          nextBlock += blocks;
        }
        Check(::pwrite(table.fd(), image.data(), length + 1,
                       static_cast<off_t>(headerLength + i * length)) ==
                  static_cast<ssize_t>(length + 1),
              "record write");
      }
      state.PauseTiming();
    }
    std::filesystem::remove(path);
    std::filesystem::remove(memoPath);
    state.ResumeTiming();
  }
  bench::ReportWork(state, static_cast<std::int64_t>(records.values.size()));
}

void BM_EngineSequentialRead(benchmark::State& state) {
  tables::XBO_dBaseFld table(ReadTable(*gFolder), false, false, "");
  const std::int32_t count = table.recordCount();
  for (auto _ : state) {
    for (std::int32_t n = 1; n <= count; ++n) {
      table.ReadRecord(n);
      benchmark::DoNotOptimize(table.recordImage()[1]);
    }
  }
  bench::ReportWork(state, count);
}

// Where the records of the shared read table lie, for reading them with plain calls.
struct RecordLayout {
  std::uint32_t headerLength = 0;
  std::uint32_t length = 0;
  std::int32_t count = 0;
};

RecordLayout ReadTableLayout() {
  tables::XBO_dBaseFld table(ReadTable(*gFolder), false, false, "");
  return {table.headerLength(), table.recordLength(), table.recordCount()};
}

// Record n with one pread.
void PlainRead(const HostFile& file, const RecordLayout& layout, std::int32_t n,
               std::vector<std::uint8_t>& image) {
  Check(::pread(file.fd(), image.data(), layout.length,
                static_cast<off_t>(layout.headerLength + std::uint64_t(n - 1) * layout.length)) ==
            static_cast<ssize_t>(layout.length),
        "record read");
}

void BM_PlainSequentialRead(benchmark::State& state) {
  const RecordLayout layout = ReadTableLayout();
  HostFile file(ReadTable(*gFolder), O_RDONLY);
  std::vector<std::uint8_t> image(layout.length);
  for (auto _ : state) {
    for (std::int32_t n = 1; n <= layout.count; ++n) {
      PlainRead(file, layout, n, image);
      benchmark::DoNotOptimize(image[1]);
    }
  }
  bench::ReportWork(state, layout.count);
}

void BM_EngineRandomRead(benchmark::State& state) {
  tables::XBO_dBaseFld table(ReadTable(*gFolder), false, false, "");
  const std::vector<std::int32_t> picks = RandomPicks(table.recordCount());
  for (auto _ : state) {
    for (std::int32_t n : picks) {
      table.ReadRecord(n);
      benchmark::DoNotOptimize(table.recordImage()[1]);
    }
  }
  bench::ReportWork(state, kRandomPicks);
}

void BM_PlainRandomRead(benchmark::State& state) {
  const RecordLayout layout = ReadTableLayout();
  const std::vector<std::int32_t> picks = RandomPicks(layout.count);
  HostFile file(ReadTable(*gFolder), O_RDONLY);
  std::vector<std::uint8_t> image(layout.length);
  for (auto _ : state) {
    for (std::int32_t n : picks) {
      PlainRead(file, layout, n, image);
      benchmark::DoNotOptimize(image[1]);
    }
  }
  bench::ReportWork(state, kRandomPicks);
}

void Configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
}

BENCHMARK(BM_PlainAppend)->Apply(Configure);
BENCHMARK(BM_EngineAppendImages)->Apply(Configure);
BENCHMARK(BM_EngineAppendImagesUnderTableLock)->Apply(Configure);
BENCHMARK(BM_EngineAppend)->Apply(Configure);
BENCHMARK(BM_PlainSequentialRead)->Apply(Configure);
BENCHMARK(BM_EngineSequentialRead)->Apply(Configure);
BENCHMARK(BM_PlainRandomRead)->Apply(Configure);
BENCHMARK(BM_EngineRandomRead)->Apply(Configure);

}  // namespace

int main(int argc, char** argv) {
  platform::NativeMachine machine;
  platform::ScopedMachine installed(machine);
  tables::XbEngineScope engine;
  BenchFolder folder("korvane-storage-bench");
  gFolder = &folder;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
