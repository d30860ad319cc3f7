#include "platform/native/host_processor.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace platform {
namespace {

constexpr std::uint32_t kPentiumClass = 586;  // SYSTEM_INFO.dwProcessorType from the Pentium on

std::uint32_t ProcessorType(std::uint32_t family) {
  if (family == 3) return 386;
  if (family == 4) return 486;
  return kPentiumClass;
}

}  // namespace

std::uint32_t MegahertzOfCpuInfo(std::string_view cpuInfo) {
  std::istringstream lines{std::string(cpuInfo)};
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("cpu MHz", 0) != 0) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const double megahertz = std::strtod(line.c_str() + colon + 1, nullptr);
    if (megahertz >= 1 && megahertz < 4294967295.0)
      return static_cast<std::uint32_t>(std::lround(megahertz));
  }
  return 0;
}

std::uint32_t HostMegahertz() {
  std::ifstream info("/proc/cpuinfo");
  std::ostringstream text;
  text << info.rdbuf();
  return MegahertzOfCpuInfo(text.str());
}

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

}  // namespace platform
