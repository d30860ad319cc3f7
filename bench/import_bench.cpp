// The site-list import of an upgrade: four old lists of 10,000 sites the user added, half of
// them already in the new list (every fourth of those spelled in mixed case), merged into
// shipped lists of 10,000 sites each, with the copy of the shipped tables into the working
// folder. Beside it: reading the same files' bytes in 1 MiB blocks (what the disk allows at
// best). The tables are made before the timing starts.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/site_list_import.hpp"
#include "bench/run_report.hpp"
#include "bench/standard_table.hpp"
#include "platform/native/native_machine.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/engine.hpp"
#include "tools/mkdist/earlier_install.hpp"
#include "tools/mkdist/product_tables.hpp"

namespace {

constexpr int kSitesPerList = 10000;
constexpr std::size_t kBlockSize = 1 << 20;

struct Folders {
  std::string shipped, old, work;
};
const Folders* gFolders = nullptr;

std::vector<mkdist::SiteEntry> UserSites(std::string_view list,
                                         const std::vector<mkdist::SiteEntry>& shipped) {
  std::vector<mkdist::SiteEntry> sites;
  for (int i = 0; i < kSitesPerList; ++i) {
    std::string site = i % 2 == 0
                           ? shipped[static_cast<std::size_t>(i)].site
                           : "www.user-" + std::string(list) + "-" + std::to_string(i) + ".example";
    if (i % 8 == 0) site = mkdist::MixedCase(site);
    sites.push_back({site, "Y", "AB"});
  }
  return sites;
}

void MakeTables(const Folders& folders) {
  for (const std::string& folder : {folders.shipped, folders.old, folders.work})
    std::filesystem::create_directories(folder);
  for (const mkdist::SiteListName& list : mkdist::kSiteLists) {
    const std::vector<mkdist::SiteEntry> shipped = mkdist::ShippedSites({list.name, kSitesPerList});
    mkdist::WriteTable(folders.shipped, mkdist::SiteListRecipe(list.name, shipped));
    mkdist::WriteTable(folders.old,
                       mkdist::SiteListRecipe(list.name, UserSites(list.name, shipped)));
  }
}

std::string TableFile(const std::string& folder, std::string_view list, std::string_view ext) {
  return folder + "/" + std::string(list) + std::string(ext);
}

// The bytes the import reads at least once: the shipped tables with their index files and
// the old lists.
std::vector<std::string> ImportedFiles() {
  std::vector<std::string> files;
  for (const mkdist::SiteListName& list : mkdist::kSiteLists) {
    files.push_back(TableFile(gFolders->shipped, list.name, ".dat"));
    files.push_back(TableFile(gFolders->shipped, list.name, ".cdx"));
    files.push_back(TableFile(gFolders->old, list.name, ".dat"));
  }
  return files;
}

void BM_ImportFourLists(benchmark::State& state) {
  tables::TXbaseDataSet newList("URLSDB"), oldList("Temptable");
  for (auto _ : state) {
    for (const mkdist::SiteListName& list : mkdist::kSiteLists) {
      for (std::string_view ext : {".dat", ".cdx"}) {
        std::filesystem::copy_file(TableFile(gFolders->shipped, list.name, ext),
                                   TableFile(gFolders->work, list.name, ext),
                                   std::filesystem::copy_options::overwrite_existing);
      }
      app::ImportSiteList(newList, TableFile(gFolders->work, list.name, ".dat"), oldList,
                          TableFile(gFolders->old, list.name, ".dat"));
    }
  }
  bench::ReportWork(state, static_cast<std::int64_t>(mkdist::kSiteLists.size()) * kSitesPerList);
}

void BM_PlainBlockRead(benchmark::State& state) {
  const std::vector<std::string> files = ImportedFiles();
  std::vector<char> block(kBlockSize);
  std::int64_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (const std::string& path : files) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      if (fd < 0) throw std::runtime_error("cannot open " + path);
      off_t offset = 0;
      for (ssize_t got; (got = ::pread(fd, block.data(), block.size(), offset)) > 0;)
        offset += got;
      bytes += offset;
      ::close(fd);
      benchmark::DoNotOptimize(block[0]);
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  bench::ReportWork(state, static_cast<std::int64_t>(mkdist::kSiteLists.size()) * kSitesPerList);
}

void Configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
}

BENCHMARK(BM_ImportFourLists)->Apply(Configure);
BENCHMARK(BM_PlainBlockRead)->Apply(Configure);

}  // namespace

int main(int argc, char** argv) {
  platform::NativeMachine machine;
  platform::ScopedMachine installed(machine);
  tables::XbEngineScope engine;
  tables::TxbExpEngineScope expressions;
  bench::BenchFolder folder("korvane-import-bench");
  const Folders folders{folder.File("shipped"), folder.File("old"), folder.File("work")};
  MakeTables(folders);
  gFolders = &folders;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
