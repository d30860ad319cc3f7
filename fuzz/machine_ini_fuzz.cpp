// machine.ini from untrusted bytes, as a simulated machine reads it at start. A file that reads
// must also write: the written text must read back and write again unchanged.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/support/round_trip.hpp"
#include "platform/exception.hpp"
#include "platform/sim/machine_config.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<platform::sim::MachineConfig> config;
  try {
    config = platform::sim::ParseMachineIni(text, "machine.ini");
  } catch (const platform::Exception&) {
    return 0;
  }
  const std::string written = platform::sim::WriteMachineIni(*config);
  fuzz::RequireSameText(
      written, platform::sim::WriteMachineIni(platform::sim::ParseMachineIni(written, "written")));
  return 0;
}
