#pragma once
// The process table of the native machine: the table engine and tools on Linux see no other
// Windows programs, so it lists none and every handle or window asked about is unknown.
// Window messages and named semaphores are kept for this program alone. Its id is the host
// process id.
#include <map>
#include <set>
#include <string>

#include "platform/processes.hpp"

namespace platform {

class NativeProcesses final : public Processes {
 public:
  ProcessId CurrentProcessId() override;
  // Nothing to load: the (empty) list needs no library here.
  ErrorCode LoadProcessStatus(std::string_view library) override;
  ErrorCode EnumerateIds(std::vector<ProcessId>& ids) override;
  ErrorCode OpenProcess(ProcessId id, std::uint32_t access, ProcessHandle& handle) override;
  ErrorCode ModuleBaseName(ProcessHandle handle, std::string& name) override;
  ErrorCode Terminate(ProcessHandle handle, std::uint32_t exitCode) override;
  ErrorCode WaitForExit(ProcessHandle handle, std::uint32_t milliseconds) override;
  ErrorCode CloseProcess(ProcessHandle handle) override;
  ErrorCode Snapshot(std::vector<ProcessEntry>& entries) override;
  std::vector<WindowHandle> TopLevelWindows() override { return {}; }
  ProcessId WindowProcess(WindowHandle) override { return 0; }
  ErrorCode Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) override;
  // Names compare without regard to case, as RegisterWindowMessage does.
  std::uint32_t RegisterMessage(std::string_view name) override;
  std::size_t Broadcast(std::uint32_t) override { return 0; }
  ErrorCode CreateNamedSemaphore(std::string_view name, std::int32_t initial, std::int32_t maximum,
                                 bool& alreadyExisted) override;

 private:
  std::map<std::string, std::uint32_t> messages_;  // by lower-cased name
  std::set<std::string> semaphores_;
};

}  // namespace platform
