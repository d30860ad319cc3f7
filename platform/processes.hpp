#pragma once
// Processes and top-level windows, shaped like psapi, toolhelp and user32 calls.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

struct ProcessEntry {  // one entry of a process snapshot (PROCESSENTRY32)
  ProcessId id = 0;
  std::string exePath;  // at most 260 characters
};

class Processes {
 public:
  virtual ~Processes() = default;

  // GetCurrentProcessId.
  virtual ProcessId CurrentProcessId() = 0;
  // LoadLibraryA of the process status library (psapi.dll). A name with a folder loads that
  // file; a bare name is looked for as the program loader does: the running program's folder,
  // the current folder, the system folder, the Windows folder. ModNotFound when there is none.
  // EnumerateIds and ModuleBaseName answer ProcNotFound until a load has succeeded.
  virtual ErrorCode LoadProcessStatus(std::string_view library) = 0;
  // EnumProcesses (NT family; NotSupported on the Windows 95 family).
  virtual ErrorCode EnumerateIds(std::vector<ProcessId>& ids) = 0;
  // OpenProcess: InvalidParameter for an unknown id, AccessDenied when the process does not
  // grant every right asked for.
  virtual ErrorCode OpenProcess(ProcessId id, std::uint32_t access, ProcessHandle& handle) = 0;
  // GetModuleBaseNameA of the main module; an empty name with success when it has none.
  virtual ErrorCode ModuleBaseName(ProcessHandle handle, std::string& name) = 0;
  // TerminateProcess: the process leaves the table with its windows, at once or after the time
  // it takes to exit. Needs the Terminate right.
  virtual ErrorCode Terminate(ProcessHandle handle, std::uint32_t exitCode) = 0;
  // WaitForSingleObject on a process handle, timed by the machine clock: Success once the
  // process has exited, WaitTimeout when it still runs after `milliseconds`. Needs the
  // Synchronize right.
  virtual ErrorCode WaitForExit(ProcessHandle handle, std::uint32_t milliseconds) = 0;
  virtual ErrorCode CloseProcess(ProcessHandle handle) = 0;
  // CreateToolhelp32Snapshot + Process32First/Next; CallNotImplemented on NT 4.0, whose
  // kernel has no toolhelp.
  virtual ErrorCode Snapshot(std::vector<ProcessEntry>& entries) = 0;

  // EnumWindows: the top-level windows in z-order.
  virtual std::vector<WindowHandle> TopLevelWindows() = 0;
  // GetWindowThreadProcessId: 0 for an unknown window.
  virtual ProcessId WindowProcess(WindowHandle window) = 0;
  // PostMessage. A close request (WM_CLOSE, or WM_SYSCOMMAND with SC_CLOSE) makes a window
  // that honours it close; a process whose last window closed exits.
  virtual ErrorCode Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) = 0;
  // RegisterWindowMessage: the same name gives the same number (0xC000..0xFFFF).
  virtual std::uint32_t RegisterMessage(std::string_view name) = 0;
  // PostMessage(HWND_BROADCAST, ...): the number of windows it reached.
  virtual std::size_t Broadcast(std::uint32_t message) = 0;
  // CreateSemaphore with a name: alreadyExisted tells whether another holder made it first.
  // The semaphore lives as long as the program (or the machine's process entry) runs.
  virtual ErrorCode CreateNamedSemaphore(std::string_view name, std::int32_t initial,
                                         std::int32_t maximum, bool& alreadyExisted) = 0;
};

}  // namespace platform
