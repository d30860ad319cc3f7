#pragma once
// Processor identification: family, model, stepping, MMX, vendor, marketing name, and the
// clock speed measured against the tick counter.
#include <string>

#include "platform/clock.hpp"
#include "platform/system_info.hpp"

namespace sysinfo {

struct ProcessorIdentity {
  int type = 0;       // family: signature bits 8-11, or the first digit of the processor type
  int stepping = -1;  // signature bits 0-3; -1 without identification support
  int model = -1;     // signature bits 4-7; -1 without identification support
  bool mmx = false;   // feature bit 23
  std::string vendor = "-unknown-";
};

ProcessorIdentity IdentifyProcessor(const platform::ProcessorFacts& facts);
// The marketing name ("AMD K5/K6", "Pentium MMX 166/200 MHz", "80486 Overdrive DX4", ...).
std::string ProcessorName(const platform::ProcessorFacts& facts);
// The clock in MHz measured over one second of the tick counter against the time-stamp
// counter: -1 below family 5, 0 without identification support.
int MeasureProcessorSpeed(const platform::ProcessorFacts& facts, int family,
                          platform::Clock& clock);

}  // namespace sysinfo
