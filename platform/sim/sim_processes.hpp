#pragma once
// Processes and windows of a simulated machine. The table lives in processes.ini and every
// call reads it afresh and writes back what it changed, under a lock on the machine folder,
// so that two programs run on the same machine at once see each other (the second instance
// of a program finds the first one's semaphore) and neither undoes the other's changes.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/code_pages.hpp"
#include "platform/processes.hpp"
#include "platform/sim/process_table.hpp"
#include "platform/system_info.hpp"

namespace platform::sim {

class SimProcesses : public Processes {
 public:
  // Finds the file a LoadLibrary of a name loads (its full Windows path), if any.
  using LibraryFinder = std::function<std::optional<std::string>(std::string_view name)>;

  // `machineFolder` holds processes.ini; the Windows version decides what psapi offers (the
  // Windows 95 family has no EnumProcesses), whether there is toolhelp (not on NT 4.0) and how
  // the snapshot names executables. Waits and exits run on `clock`.
  SimProcesses(std::filesystem::path machineFolder, const VersionRecord& version, CodePages& casing,
               std::shared_ptr<Clock> clock);
  ~SimProcesses() override;
  SimProcesses(const SimProcesses&) = delete;
  SimProcesses& operator=(const SimProcesses&) = delete;

  ProcessId CurrentProcessId() override;
  ErrorCode LoadProcessStatus(std::string_view library) override;
  ErrorCode EnumerateIds(std::vector<ProcessId>& ids) override;
  ErrorCode OpenProcess(ProcessId id, std::uint32_t access, ProcessHandle& handle) override;
  ErrorCode ModuleBaseName(ProcessHandle handle, std::string& name) override;
  ErrorCode Terminate(ProcessHandle handle, std::uint32_t exitCode) override;
  ErrorCode WaitForExit(ProcessHandle handle, std::uint32_t milliseconds) override;
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

  // Without a finder no library is found.
  void UseLibraryFinder(LibraryFinder finder) { findLibrary_ = std::move(finder); }

  // The program this machine was opened for enters the table for its run; EndRun (also
  // called by the destructor) takes it out again with its semaphores.
  ProcessId BeginRun(const std::string& programPath);
  void EndRun();
  // A program started through the shell: a new process with one window that honours close.
  ProcessId StartProgram(const std::string& exePath);
  // Whether the Windows path names the executable of a running process (any case).
  bool IsRunningExecutable(const std::string& windowsPath);
  // Enters a process into the table (tools and tests): an id or window handle of 0 gets the
  // next free one. Returns the id. Throws platform::Exception for an id already in use.
  ProcessId Add(SimProcess process);
  // The table as it stands now, for tools and tests that look at the machine as a whole.
  ProcessTable Table();
  // Rewrites processes.ini (dropping entries of host processes that are gone).
  void Save();
  // Reads processes.ini once, so that a malformed file is reported at once (platform::Exception
  // naming the file and line) rather than at the first call that needs it.
  void Check();

 private:
  // A handle stands for the process it opened, known by id and executable: a program that
  // later gets the same id is not reached through it.
  struct OpenHandle {
    ProcessId id = 0;
    std::string path;
    std::uint32_t access = 0;
  };
  // Runs `change` on the current table under the machine lock; writes the table back when
  // `change` returns true.
  void Update(const std::function<bool(ProcessTable&)>& change);
  ProcessTable Read();
  bool SamePath(std::string_view a, std::string_view b);
  bool ApplyPost(ProcessTable& table, WindowHandle window, std::uint32_t message,
                 std::uintptr_t wParam);

  const OpenHandle* FindHandle(ProcessHandle handle, std::uint32_t neededAccess,
                               ErrorCode& error) const;
  // The process the handle opened, if it still runs.
  SimProcess* ProcessOf(ProcessTable& table, const OpenHandle& open);
  // Whether the process still runs, and when it will be gone if it is exiting.
  bool StillRunning(const OpenHandle& open, std::optional<FileTime>& exitsAt);

  std::filesystem::path folder_;
  std::filesystem::path tableFile_;
  bool ntFamily_;
  bool hasToolhelp_;
  CodePages& casing_;
  std::shared_ptr<Clock> clock_;
  LibraryFinder findLibrary_;
  bool processStatusLoaded_ = false;
  std::map<ProcessHandle, OpenHandle> handles_;
  ProcessHandle nextHandle_ = 0x40;
  std::optional<ProcessId> runId_;
  // Semaphores of a run that has no process entry (a tool that opened the machine).
  std::vector<std::string> localSemaphores_;
};

}  // namespace platform::sim
