// xbbench PHASE N BASE: one phase of the standard benchmark on the host files BASE.DBF, BASE.FPT
// and BASE.CDX; phases append, index, seek, scan and appendidx, each on the files the one
// before left.
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/native/native_machine.hpp"
#include "tables/storage/engine.hpp"
#include "tools/xbbench/bench_phases.hpp"

namespace {

constexpr const char* kUsage =
    "Usage: xbbench PHASE N BASE\n"
    "  PHASE  append (creates BASE.DBF with N records), index (tag SITE on Upper(SITE) in\n"
    "         BASE.CDX), seek (100,000 exact seeks), scan (records with NUM > 500) or\n"
    "         appendidx (100,000 more records with the tag kept current)\n"
    "  N      the number of records\n"
    "  BASE   the files' path without extension\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string phase = argv[1];
  char* end = nullptr;
  const long count = std::strtol(argv[2], &end, 10);
  if (*end != '\0' || count < 1 || count > 100000000) {
    std::cerr << "xbbench: N must be a number of records from 1 to 100,000,000\n" << kUsage;
    return 2;
  }
  try {
    platform::NativeMachine machine;
    platform::ScopedMachine installed(machine);
    tables::XbEngineScope engine;
    const std::string base = argv[3];
    const auto records = static_cast<std::int32_t>(count);
    if (phase == "append") {
      std::cout << tools::xbbench::AppendPhase(base, records) << '\n';
    } else if (phase == "index") {
      std::cout << tools::xbbench::IndexPhase(base, records) << '\n';
    } else if (phase == "seek") {
      std::cout << tools::xbbench::SeekPhase(base, records) << '\n';
    } else if (phase == "scan") {
      std::cout << tools::xbbench::ScanPhase(base, records) << '\n';
    } else if (phase == "appendidx") {
      std::cout << tools::xbbench::IndexedAppendPhase(base, records) << '\n';
    } else {
      std::cerr << "xbbench: unknown phase " << phase << "\n" << kUsage;
      return 2;
    }
  } catch (const std::exception& error) {
    std::cerr << "xbbench " << phase << ": " << error.what() << '\n';
    return 2;
  }
  return 0;
}
