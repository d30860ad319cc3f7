#pragma once
// The host's processor as a simulated machine reports it: identification (signature, feature
// flags, vendor) from the processor itself, the speed from the host's processor information.
#include "platform/system_info.hpp"

namespace platform::sim {

ProcessorFacts HostProcessorFacts();

}  // namespace platform::sim
