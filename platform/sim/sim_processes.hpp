#pragma once
// Processes and windows of a simulated machine. The table lives in processes.ini and every
// call reads it afresh and writes back what it changed, under a lock on the machine folder,
// so that two programs run on the same machine at once see each other (the second instance
// of a program finds the first one's semaphore) and neither undoes the other's changes.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_pages.hpp"
#include "platform/processes.hpp"
#include "platform/sim/process_table.hpp"

namespace platform::sim {

class SimProcesses : public Processes {
 public:
  // `machineFolder` holds processes.ini; `ntFamily` decides what psapi offers (the Windows 95
  // family has no EnumProcesses) and how the snapshot names executables.
  SimProcesses(std::filesystem::path machineFolder, bool ntFamily, CodePages& casing);
  ~SimProcesses() override;
  SimProcesses(const SimProcesses&) = delete;
  SimProcesses& operator=(const SimProcesses&) = delete;

  ErrorCode EnumerateIds(std::vector<ProcessId>& ids) override;
  ErrorCode OpenProcess(ProcessId id, std::uint32_t access, ProcessHandle& handle) override;
  ErrorCode ModuleBaseName(ProcessHandle handle, std::string& name) override;
  ErrorCode Terminate(ProcessHandle handle, std::uint32_t exitCode) override;
  ErrorCode CloseProcess(ProcessHandle handle) override;
  ErrorCode Snapshot(std::vector<ProcessEntry>& entries) override;
  std::vector<WindowHandle> TopLevelWindows() override;
  ProcessId WindowProcess(WindowHandle window) override;
  ErrorCode Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) override;
  std::uint32_t RegisterMessage(std::string_view name) override;
  std::size_t Broadcast(std::uint32_t message) override;
  ErrorCode CreateNamedSemaphore(std::string_view name, std::int32_t initial, std::int32_t maximum,
                                 bool& alreadyExisted) override;

  // The program this machine was opened for enters the table for its run; EndRun (also
  // called by the destructor) takes it out again with its semaphores.
  ProcessId BeginRun(const std::string& programPath);
  void EndRun();
  // A program started through the shell: a new process with one window that honours close.
  ProcessId StartProgram(const std::string& exePath);
  // Whether the Windows path names the executable of a running process (any case).
  bool IsRunningExecutable(const std::string& windowsPath);
  // Rewrites processes.ini (dropping entries of host processes that are gone).
  void Save();
  // Reads processes.ini once, so that a malformed file is reported at once (platform::Exception
  // naming the file and line) rather than at the first call that needs it.
  void Check();

 private:
  struct OpenHandle {
    ProcessId id = 0;
    std::uint32_t access = 0;
  };
  // Runs `change` on the current table under the machine lock; writes the table back when
  // `change` returns true.
  void Update(const std::function<bool(ProcessTable&)>& change);
  ProcessTable Read();
  bool SamePath(std::string_view a, std::string_view b);
  bool ApplyPost(ProcessTable& table, WindowHandle window, std::uint32_t message,
                 std::uintptr_t wParam);

  std::filesystem::path folder_;
  std::filesystem::path tableFile_;
  bool ntFamily_;
  CodePages& casing_;
  std::map<ProcessHandle, OpenHandle> handles_;
  ProcessHandle nextHandle_ = 0x40;
  std::optional<ProcessId> runId_;
  // Semaphores of a run that has no process entry (a tool that opened the machine).
  std::vector<std::string> localSemaphores_;
};

}  // namespace platform::sim
