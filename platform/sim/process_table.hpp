#pragma once
// The running processes of a simulated machine as processes.ini holds them: per process its
// id, executable path, main module name, the rights it lets others open it with, how long it
// takes to exit, its top-level windows and the named semaphores it created; and the
// registered window messages.
#include <cstdint>
#include <optional>
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
  // The rights OpenProcess grants; asking for any other is refused (AccessDenied).
  std::uint32_t access = process_access::AllAccess;
  // The host process that simulates this program's run (0 for processes of the machine
  // itself); the entry goes when that host process is gone.
  int hostProcess = 0;
  std::vector<SimWindow> windows;
  std::vector<SimSemaphore> semaphores;
  // Milliseconds of machine time the process takes to exit once ended (kNeverExits: it hangs).
  std::uint32_t exitDelay = 0;
  // Set while it exits: the machine time (a FILETIME) at which it leaves the table.
  std::optional<FileTime> exitsAt;

  static constexpr std::uint32_t kNeverExits = 0xFFFFFFFFu;
  bool Exiting() const { return exitsAt.has_value(); }
};

struct ProcessTable {
  std::vector<SimProcess> processes;
  std::vector<std::pair<std::string, std::uint32_t>> messages;  // RegisterWindowMessage

  SimProcess* Find(ProcessId id);
  SimProcess* OwnerOf(WindowHandle window);
  void Remove(ProcessId id);
  // Ends a process: at once, or marked to leave the table `exitDelay` after `now`.
  void End(SimProcess& process, FileTime now);
  // Drops the processes whose exit time has come.
  void RemoveExited(FileTime now);
  ProcessId NextId() const;               // above every id in use, a multiple of 4
  WindowHandle NextWindowHandle() const;  // above every handle in use
};

// Reads processes.ini; throws platform::Exception naming `source` and the line of anything
// malformed.
ProcessTable ParseProcessesIni(std::string_view text, std::string_view source);
std::string WriteProcessesIni(const ProcessTable& table);

}  // namespace platform::sim
