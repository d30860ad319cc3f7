#pragma once
// The phases of the standard benchmark on the table BASE.DBF (with BASE.FPT and BASE.CDX):
// append N records, index SITE on Upper(SITE), seek 100,000 keys, scan for NUM > 500 (through
// the table handler's filter and read-ahead block), append 100,000 more records through the
// handler with the tag kept current. Each returns one report line: "PHASE <name> n=<count>
// ms=<work time> peak_mib=<peak memory>", the index and scan phases a second one with the time
// to read the table once in 64 KiB blocks.
#include <cstdint>
#include <string>

namespace tools::xbbench {

std::string AppendPhase(const std::string& base, std::int32_t count);
std::string IndexPhase(const std::string& base, std::int32_t count);
std::string SeekPhase(const std::string& base, std::int32_t count);
std::string ScanPhase(const std::string& base, std::int32_t count);
// count: the records the table holds before.
std::string IndexedAppendPhase(const std::string& base, std::int32_t count);

}  // namespace tools::xbbench
