// REGEDIT4 text from untrusted bytes, as a simulated machine loads its registry files. What an
// import took in (all of it, or what came before the error) is exported, and the export must
// import into a fresh registry and export again unchanged: the machine writes the registry
// back this way when a program ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/round_trip.hpp"
#include "fuzz/support/try_read.hpp"
#include "platform/memory_registry.hpp"
#include "platform/reg_file.hpp"

namespace {

constexpr platform::KeyHandle kRoots[] = {platform::hkey::ClassesRoot, platform::hkey::CurrentUser,
                                          platform::hkey::LocalMachine, platform::hkey::Users};

std::string ExportAll(platform::Registry& registry) {
  std::string text;
  for (platform::KeyHandle root : kRoots)
    text += platform::ExportRegistryRoot(registry, root);
  return text;
}

std::string ImportEachRoot(platform::Registry& source) {
  platform::MemoryRegistry copy;
  for (platform::KeyHandle root : kRoots)
    platform::ImportRegistryText(copy, platform::ExportRegistryRoot(source, root), "export.reg");
  return ExportAll(copy);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::MemoryRegistry registry;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  fuzz::TryRead([&] { platform::ImportRegistryText(registry, text, "fuzz.reg"); });
  fuzz::RequireSameText(ExportAll(registry), ImportEachRoot(registry));
  return 0;
}
