#include "bench/run_report.hpp"

#include <sys/resource.h>

namespace bench {

namespace {

double PeakResidentMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

}  // namespace

void ReportWork(benchmark::State& state, std::int64_t itemsPerIteration) {
  state.SetItemsProcessed(state.iterations() * itemsPerIteration);
  state.counters["peak_MiB"] = PeakResidentMiB();
}

}  // namespace bench
