#pragma once
// What every benchmark reports besides its time: the rate of the work and the process's peak
// memory so far (resident set, in MiB; the benchmarks of one program run in order, so a figure
// covers the benchmark itself and those before it).
#include <benchmark/benchmark.h>

#include <cstdint>

namespace bench {

void ReportWork(benchmark::State& state, std::int64_t itemsPerIteration);

}  // namespace bench
