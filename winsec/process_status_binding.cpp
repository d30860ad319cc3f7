#include "winsec/process_status_binding.hpp"

#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace winsec {

platform::ErrorCode BindProcessStatus() {
  constexpr std::string_view kLibrary = "psapi.dll";
  platform::Machine& machine = platform::CurrentMachine();
  if (machine.system().Version().platformId != platform::platform_id::Nt)
    return platform::win_error::NotSupported;
  const std::string inSystemFolder = platform::PathJoin(machine.program().SystemFolder(), kLibrary);
  if (machine.files().Exists(inSystemFolder))
    return machine.processes().LoadProcessStatus(inSystemFolder);
  return machine.processes().LoadProcessStatus(kLibrary);
}

}  // namespace winsec
