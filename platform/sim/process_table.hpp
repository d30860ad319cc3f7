#pragma once
// The running processes of a simulated machine as processes.ini holds them: per process its
// id, executable path, main module name, whether it lets itself be opened, its top-level
// windows and the named semaphores it created; and the registered window messages.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win_types.hpp"

namespace platform::sim {

struct SimWindow {
  WindowHandle handle = 0;
  std::string title;
  bool honoursClose = true;  // a close request closes it
};

struct SimSemaphore {
  std::string name;  // kernel object names compare with case
  std::int32_t count = 0;
  std::int32_t maximum = 1;
};

struct SimProcess {
  ProcessId id = 0;
  std::string path;        // as the process snapshot of the 95 family reports it
  std::string moduleName;  // base name of the main module
  bool hasModule = true;   // false: the main module name reads as empty ("System")
  bool canOpen = true;     // false: OpenProcess is refused (AccessDenied)
  // The host process that simulates this program's run (0 for processes of the machine
  // itself); the entry goes when that host process is gone.
  int hostProcess = 0;
  std::vector<SimWindow> windows;
  std::vector<SimSemaphore> semaphores;
};

struct ProcessTable {
  std::vector<SimProcess> processes;
  std::vector<std::pair<std::string, std::uint32_t>> messages;  // RegisterWindowMessage

  SimProcess* Find(ProcessId id);
  SimProcess* OwnerOf(WindowHandle window);
  void Remove(ProcessId id);
  ProcessId NextId() const;               // above every id in use, a multiple of 4
  WindowHandle NextWindowHandle() const;  // above every handle in use
};

// Reads processes.ini; throws platform::Exception naming `source` and the line of anything
// malformed.
ProcessTable ParseProcessesIni(std::string_view text, std::string_view source);
std::string WriteProcessesIni(const ProcessTable& table);

}  // namespace platform::sim
