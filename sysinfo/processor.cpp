#include "sysinfo/processor.hpp"

#include <cmath>
#include <string>

namespace sysinfo {
namespace {

constexpr std::uint32_t kMmxFeature = 1u << 23;
constexpr std::uint32_t kMeasuredMilliseconds = 1000;

int Family(std::uint32_t signature) {
  return static_cast<int>((signature >> 8) & 0xF);
}
int Model(std::uint32_t signature) {
  return static_cast<int>((signature >> 4) & 0xF);
}
bool IsOverdrive(std::uint32_t signature) {
  return ((signature >> 12) & 0x3) == 1;
}

// The first digit of the processor type number (5 from 586); 0 when there is none.
int FamilyFromType(std::uint32_t processorType) {
  if (processorType == 0) return 0;
  while (processorType >= 10)
    processorType /= 10;
  return static_cast<int>(processorType);
}

std::string ModelSuffix(int model, std::initializer_list<std::pair<int, const char*>> names) {
  for (const auto& [number, name] : names) {
    if (number == model) return name;
  }
  return {};
}

std::string Name486(int model, bool overdrive) {
  return std::string("80486") + (overdrive ? " Overdrive" : "") +
         ModelSuffix(model, {{0, " DX"},
                             {1, " DX"},
                             {2, " SX"},
                             {3, " DX2"},
                             {4, " SL"},
                             {5, " SX2"},
                             {7, " DX2 WriteBack"},
                             {8, " DX4"}});
}

std::string NamePentium(int model, bool overdrive) {
  return std::string("Pentium") + (overdrive ? " Overdrive" : "") +
         ModelSuffix(model, {{1, " 60/66 MHz"}, {2, " 75-200 MHz"}, {4, " MMX 166/200 MHz"}});
}

std::string NameP6(int model, bool overdrive) {
  std::string name = ModelSuffix(model, {{1, "Intel Pentium pro"},
                                         {3, "Intel Pentium II"},
                                         {5, "Intel P6 (Model 5)"},
                                         {6, "Intel Celeron (Model 6)"}});
  if (name.empty()) name = "Intel Pentium P6";
  return name + (overdrive ? " Overdrive" : "");
}

std::string NameWithoutIdentification(int family) {
  switch (family) {
    case 2:
      return "80286";
    case 3:
      return "80386";
    case 4:
      return "80486";
    case 5:
      return "Pentium";
    case 6:
      return "PentiumPro";
    default:
      return "P" + std::to_string(family);
  }
}

}  // namespace

ProcessorIdentity IdentifyProcessor(const platform::ProcessorFacts& facts) {
  ProcessorIdentity identity;
  if (!facts.hasIdentification) {
    identity.type = FamilyFromType(facts.processorType);
    return identity;
  }
  identity.type = Family(facts.signature);
  identity.stepping = static_cast<int>(facts.signature & 0xF);
  identity.model = Model(facts.signature);
  identity.mmx = (facts.features & kMmxFeature) != 0;
  if (!facts.vendor.empty()) identity.vendor = facts.vendor;
  return identity;
}

std::string ProcessorName(const platform::ProcessorFacts& facts) {
  if (!facts.hasIdentification)
    return NameWithoutIdentification(FamilyFromType(facts.processorType));
  const int model = Model(facts.signature);
  const bool overdrive = IsOverdrive(facts.signature);
  const bool amd = facts.vendor == "AuthenticAMD";
  const bool cyrix = facts.vendor == "CyrixInstead";
  switch (Family(facts.signature)) {
    case 4:
      if (amd) return "AMD Am486/Am5x86";
      if (cyrix) return "Cyrix MediaGX";
      return Name486(model, overdrive);
    case 5:
      if (amd) return "AMD K5/K6";
      if (cyrix) return model == 4 ? "Cyrix Gxm" : "Cyrix 6x86";
      return NamePentium(model, overdrive);
    case 6:
      if (cyrix) return "Cyrix 6x86MX";
      return NameP6(model, overdrive);
    default:
      return {};
  }
}

int MeasureProcessorSpeed(const platform::ProcessorFacts& facts, int family,
                          platform::Clock& clock) {
  if (!facts.hasIdentification) return 0;
  if (family < 5) return -1;
  // Start on a fresh tick, then count cycles over one second of ticks.
  const std::uint32_t previous = clock.TickCount();
  std::uint32_t start = clock.TickCount();
  while (start == previous)
    start = clock.TickCount();
  const std::uint64_t cyclesAtStart = clock.TimeStampCounter();
  std::uint32_t now = clock.TickCount();
  while (now - start < kMeasuredMilliseconds)
    now = clock.TickCount();
  const std::uint64_t cyclesAtEnd = clock.TimeStampCounter();
  if (cyclesAtEnd <= cyclesAtStart) return -1;
  // Cycles of the measured second in millions, plus the product's customary 0.66 so that
  // clocks such as 166.66 or 233.33 MHz report their rated figure; rounded half to even.
  const double megahertz = static_cast<double>(cyclesAtEnd - cyclesAtStart) / 1'000'000.0;
  return static_cast<int>(std::nearbyint(megahertz + 0.66));
}

}  // namespace sysinfo
