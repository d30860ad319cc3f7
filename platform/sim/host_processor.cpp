#include "platform/sim/host_processor.hpp"

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace platform::sim {
namespace {

constexpr std::uint32_t kPentiumClass = 586;   // SYSTEM_INFO.dwProcessorType from the Pentium on
constexpr std::uint32_t kUnknownSpeed = 1000;  // when the host does not tell its speed

// "cpu MHz : 2445.414" of /proc/cpuinfo, rounded.
std::uint32_t HostMegahertz() {
  std::ifstream info("/proc/cpuinfo");
  std::string line;
  while (std::getline(info, line)) {
    if (line.rfind("cpu MHz", 0) != 0) continue;
    const auto colon = line.find(':');
    if (colon == std::string::npos) break;
    const double megahertz = std::strtod(line.c_str() + colon + 1, nullptr);
    if (megahertz >= 1) return static_cast<std::uint32_t>(std::lround(megahertz));
  }
  return kUnknownSpeed;
}

std::uint32_t ProcessorType(std::uint32_t family) {
  if (family == 3) return 386;
  if (family == 4) return 486;
  return kPentiumClass;
}

}  // namespace

ProcessorFacts HostProcessorFacts() {
  ProcessorFacts facts;
  facts.megahertz = HostMegahertz();
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(0, &eax, &ebx, &ecx, &edx)) {
    char vendor[13] = {};
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    facts.vendor = vendor;
    __get_cpuid(1, &eax, &ebx, &ecx, &edx);
    facts.hasIdentification = true;
    facts.signature = eax;
    facts.features = edx;
    facts.processorType = ProcessorType((eax >> 8) & 0xF);
    return facts;
  }
#endif
  facts.hasIdentification = false;
  facts.processorType = kPentiumClass;
  return facts;
}

}  // namespace platform::sim
