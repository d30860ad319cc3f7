#pragma once
// The host's processor: identification (signature, feature flags, vendor) from the processor
// itself on x86 hosts, the speed from the host's processor information (/proc/cpuinfo).
#include <cstdint>
#include <string_view>

#include "platform/system_info.hpp"

namespace platform {

// The first "cpu MHz : 2445.414" line of /proc/cpuinfo text that gives a speed, rounded; 0 when
// no line does.
std::uint32_t MegahertzOfCpuInfo(std::string_view cpuInfo);
// The host's speed; 0 when the host does not tell.
std::uint32_t HostMegahertz();
// Identification where the processor gives it, and the host's speed (0 when it does not tell).
ProcessorFacts HostProcessorFacts();

}  // namespace platform
