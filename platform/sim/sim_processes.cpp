#include "platform/sim/sim_processes.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/exception.hpp"
#include "platform/path_parts.hpp"
#include "platform/sim/host_text_file.hpp"

namespace platform::sim {
namespace {

constexpr const char* kTableName = "processes.ini";
constexpr std::size_t kMaxSnapshotPath = 259;  // MAX_PATH less the terminating NUL
constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
constexpr std::uint32_t kLastRegisteredMessage = 0xFFFF;
// How often a wait looks again at a process that is not exiting yet (another program may end
// it meanwhile).
constexpr std::uint32_t kWaitPollMilliseconds = 50;
constexpr FileTime kTicksPerMillisecond = 10000;

// An exclusive lock on the machine folder for the length of one table update.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0)
      throw Exception("Cannot lock the machine folder " + folder.string() + ": " +
                      std::strerror(errno));
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

bool HostProcessGone(int pid) {
  return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

// NT 4.0 and earlier NT releases have no toolhelp in their kernel.
bool HasToolhelp(const VersionRecord& version) {
  return version.platformId != platform_id::Nt || version.major >= 5;
}

// The milliseconds from `now` until `until`, rounded up.
std::uint64_t MillisecondsUntil(FileTime until, FileTime now) {
  return until <= now ? 0 : (until - now + kTicksPerMillisecond - 1) / kTicksPerMillisecond;
}

bool IsCloseRequest(std::uint32_t message, std::uintptr_t wParam) {
  return message == window_message::Close ||
         (message == window_message::SysCommand && (wParam & 0xFFF0) == window_message::ScClose);
}

}  // namespace

SimProcesses::SimProcesses(std::filesystem::path machineFolder, const VersionRecord& version,
                           CodePages& casing, std::shared_ptr<Clock> clock)
    : folder_(std::move(machineFolder)),
      tableFile_(folder_ / kTableName),
      ntFamily_(version.platformId == platform_id::Nt),
      hasToolhelp_(HasToolhelp(version)),
      casing_(casing),
      clock_(std::move(clock)) {}

SimProcesses::~SimProcesses() {
  try {
    EndRun();
  } catch (const std::exception&) {
    // A destructor cannot report; the entry goes anyway once this host process has ended.
  }
}

ProcessTable SimProcesses::Read() {
  ProcessTable table;
  if (std::filesystem::exists(tableFile_))
    table = ParseProcessesIni(ReadHostText(tableFile_), tableFile_.string());
  std::erase_if(table.processes,
                [](const SimProcess& process) { return HostProcessGone(process.hostProcess); });
  table.RemoveExited(clock_->NowAsFileTime());
  return table;
}

void SimProcesses::Update(const std::function<bool(ProcessTable&)>& change) {
  FolderLock lock(folder_);
  ProcessTable table = Read();
  if (change(table)) WriteHostTextReplacing(tableFile_, WriteProcessesIni(table));
}

bool SimProcesses::SamePath(std::string_view a, std::string_view b) {
  return a.size() == b.size() && casing_.Upper(a) == casing_.Upper(b);
}

const SimProcesses::OpenHandle* SimProcesses::FindHandle(ProcessHandle handle,
                                                         std::uint32_t neededAccess,
                                                         ErrorCode& error) const {
  const auto open = handles_.find(handle);
  if (open == handles_.end()) {
    error = win_error::InvalidHandle;
    return nullptr;
  }
  if ((open->second.access & neededAccess) != neededAccess) {
    error = win_error::AccessDenied;
    return nullptr;
  }
  return &open->second;
}

ProcessId SimProcesses::CurrentProcessId() {
  return runId_.value_or(0);
}

ErrorCode SimProcesses::LoadProcessStatus(std::string_view library) {
  if (!findLibrary_ || !findLibrary_(library)) return win_error::ModNotFound;
  processStatusLoaded_ = true;
  return win_error::Success;
}

ErrorCode SimProcesses::EnumerateIds(std::vector<ProcessId>& ids) {
  if (!ntFamily_) return win_error::NotSupported;
  if (!processStatusLoaded_) return win_error::ProcNotFound;
  ids.clear();
  Update([&](ProcessTable& table) {
    for (const auto& process : table.processes)
      ids.push_back(process.id);
    return false;
  });
  return win_error::Success;
}

ErrorCode SimProcesses::OpenProcess(ProcessId id, std::uint32_t access, ProcessHandle& handle) {
  // The Idle process (id 0) is refused as an invalid parameter, whatever the table says of it.
  if (id == 0) return win_error::InvalidParameter;
  ErrorCode result = win_error::Success;
  std::string path;
  Update([&](ProcessTable& table) {
    const SimProcess* process = table.Find(id);
    if (!process)
      result = win_error::InvalidParameter;
    else if ((access & ~process->access) != 0)
      result = win_error::AccessDenied;
    else
      path = process->path;
    return false;
  });
  if (result != win_error::Success) return result;
  handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = OpenHandle{id, std::move(path), access};
  return win_error::Success;
}

ErrorCode SimProcesses::ModuleBaseName(ProcessHandle handle, std::string& name) {
  if (!ntFamily_) return win_error::NotSupported;
  if (!processStatusLoaded_) return win_error::ProcNotFound;
  ErrorCode result = win_error::Success;
  const OpenHandle* open =
      FindHandle(handle, process_access::QueryInformation | process_access::VmRead, result);
  if (!open) return result;
  Update([&](ProcessTable& table) {
    const SimProcess* process = ProcessOf(table, *open);
    if (!process)
      result = win_error::InvalidHandle;  // the process has ended
    else
      name = process->hasModule ? process->moduleName : std::string();
    return false;
  });
  return result;
}

ErrorCode SimProcesses::Terminate(ProcessHandle handle, std::uint32_t) {
  ErrorCode result = win_error::Success;
  const OpenHandle* open = FindHandle(handle, process_access::Terminate, result);
  if (!open) return result;
  Update([&](ProcessTable& table) {
    SimProcess* process = ProcessOf(table, *open);
    if (!process || process->Exiting()) {
      result = win_error::AccessDenied;  // what Windows answers for a process that has ended
      return false;
    }
    table.End(*process, clock_->NowAsFileTime());
    return true;
  });
  return result;
}

SimProcess* SimProcesses::ProcessOf(ProcessTable& table, const OpenHandle& open) {
  SimProcess* process = table.Find(open.id);
  return process && process->path == open.path ? process : nullptr;
}

bool SimProcesses::StillRunning(const OpenHandle& open, std::optional<FileTime>& exitsAt) {
  bool running = false;
  Update([&](ProcessTable& table) {
    if (const SimProcess* process = ProcessOf(table, open)) {
      running = true;
      exitsAt = process->exitsAt;
    }
    return false;
  });
  return running;
}

ErrorCode SimProcesses::WaitForExit(ProcessHandle handle, std::uint32_t milliseconds) {
  ErrorCode result = win_error::Success;
  const OpenHandle* open = FindHandle(handle, process_access::Synchronize, result);
  if (!open) return result;
  std::uint64_t waited = 0;
  std::optional<FileTime> exitsAt;
  while (StillRunning(*open, exitsAt)) {
    if (waited >= milliseconds) return win_error::WaitTimeout;
    std::uint64_t step =
        exitsAt ? MillisecondsUntil(*exitsAt, clock_->NowAsFileTime()) : kWaitPollMilliseconds;
    step = std::clamp<std::uint64_t>(step, 1, milliseconds - waited);
    clock_->Sleep(static_cast<std::uint32_t>(step));
    waited += step;
  }
  return win_error::Success;
}

ErrorCode SimProcesses::CloseProcess(ProcessHandle handle) {
  return handles_.erase(handle) ? win_error::Success : win_error::InvalidHandle;
}

ErrorCode SimProcesses::Snapshot(std::vector<ProcessEntry>& entries) {
  entries.clear();
  if (!hasToolhelp_) return win_error::CallNotImplemented;
  Update([&](ProcessTable& table) {
    for (const auto& process : table.processes) {
      // The NT family's toolhelp reports the file name only, the 95 family the full path.
      std::string path = ntFamily_ ? std::string(PathFileName(process.path)) : process.path;
      if (path.size() > kMaxSnapshotPath) path.resize(kMaxSnapshotPath);
      entries.push_back({process.id, std::move(path)});
    }
    return false;
  });
  return win_error::Success;
}

std::vector<WindowHandle> SimProcesses::TopLevelWindows() {
  std::vector<WindowHandle> windows;
  Update([&](ProcessTable& table) {
    for (const auto& process : table.processes)
      for (const auto& window : process.windows)
        windows.push_back(window.handle);
    return false;
  });
  return windows;
}

ProcessId SimProcesses::WindowProcess(WindowHandle window) {
  ProcessId id = 0;
  Update([&](ProcessTable& table) {
    if (const SimProcess* owner = table.OwnerOf(window)) id = owner->id;
    return false;
  });
  return id;
}

bool SimProcesses::ApplyPost(ProcessTable& table, WindowHandle window, std::uint32_t message,
                             std::uintptr_t wParam) {
  SimProcess* owner = table.OwnerOf(window);
  if (!owner || !IsCloseRequest(message, wParam)) return false;
  auto& windows = owner->windows;
  const auto found = std::find_if(windows.begin(), windows.end(),
                                  [&](const SimWindow& w) { return w.handle == window; });
  if (!found->honoursClose) return false;
  windows.erase(found);
  // Its last window closed: the program exits.
  if (windows.empty()) table.End(*owner, clock_->NowAsFileTime());
  return true;
}

ErrorCode SimProcesses::Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t) {
  ErrorCode result = win_error::Success;
  Update([&](ProcessTable& table) {
    if (!table.OwnerOf(window)) {
      result = win_error::InvalidWindowHandle;
      return false;
    }
    return ApplyPost(table, window, message, wParam);
  });
  return result;
}

std::uint32_t SimProcesses::RegisterMessage(std::string_view name) {
  if (name.empty()) return 0;
  std::uint32_t number = 0;
  Update([&](ProcessTable& table) {
    for (const auto& [known, value] : table.messages) {
      if (SamePath(known, name)) {
        number = value;
        return false;
      }
    }
    number = kFirstRegisteredMessage;
    for (const auto& entry : table.messages)
      number = std::max(number, entry.second + 1);
    if (number > kLastRegisteredMessage) {
      number = 0;  // the atom table is full
      return false;
    }
    table.messages.emplace_back(std::string(name), number);
    return true;
  });
  return number;
}

std::size_t SimProcesses::Broadcast(std::uint32_t message) {
  std::size_t reached = 0;
  Update([&](ProcessTable& table) {
    std::vector<WindowHandle> windows;
    for (const auto& process : table.processes)
      for (const auto& window : process.windows)
        windows.push_back(window.handle);
    reached = windows.size();
    bool changed = false;
    for (WindowHandle window : windows)
      changed |= ApplyPost(table, window, message, 0);
    return changed;
  });
  return reached;
}

ErrorCode SimProcesses::CreateNamedSemaphore(std::string_view name, std::int32_t initial,
                                             std::int32_t maximum, bool& alreadyExisted) {
  if (maximum <= 0 || initial < 0 || initial > maximum) return win_error::InvalidParameter;
  if (name.find('\\') != std::string_view::npos) return win_error::BadPathname;
  alreadyExisted =
      std::find(localSemaphores_.begin(), localSemaphores_.end(), name) != localSemaphores_.end();
  Update([&](ProcessTable& table) {
    for (const auto& process : table.processes)
      for (const auto& semaphore : process.semaphores)
        if (semaphore.name == name) alreadyExisted = true;
    if (alreadyExisted) return false;
    SimProcess* own = runId_ ? table.Find(*runId_) : nullptr;
    if (!own) {
      localSemaphores_.emplace_back(name);
      return false;
    }
    own->semaphores.push_back({std::string(name), initial, maximum});
    return true;
  });
  return win_error::Success;
}

ProcessId SimProcesses::BeginRun(const std::string& programPath) {
  EndRun();
  Update([&](ProcessTable& table) {
    SimProcess process;
    process.id = table.NextId();
    process.path = programPath;
    process.moduleName = PathFileName(programPath);
    process.hostProcess = static_cast<int>(::getpid());
    runId_ = process.id;
    table.processes.push_back(std::move(process));
    return true;
  });
  return *runId_;
}

void SimProcesses::EndRun() {
  localSemaphores_.clear();
  if (!runId_) return;
  const ProcessId id = *runId_;
  runId_.reset();
  Update([&](ProcessTable& table) {
    if (!table.Find(id)) return false;
    table.Remove(id);
    return true;
  });
}

ProcessId SimProcesses::StartProgram(const std::string& exePath) {
  ProcessId id = 0;
  Update([&](ProcessTable& table) {
    SimProcess process;
    process.id = id = table.NextId();
    process.path = exePath;
    process.moduleName = PathFileName(exePath);
    std::string title(PathStem(process.moduleName));
    process.windows.push_back({table.NextWindowHandle(), std::move(title), true});
    table.processes.push_back(std::move(process));
    return true;
  });
  return id;
}

bool SimProcesses::IsRunningExecutable(const std::string& windowsPath) {
  bool running = false;
  Update([&](ProcessTable& table) {
    for (const auto& process : table.processes)
      if (SamePath(process.path, windowsPath)) running = true;
    return false;
  });
  return running;
}

ProcessId SimProcesses::Add(SimProcess process) {
  Update([&](ProcessTable& table) {
    if (process.id == 0) process.id = table.NextId();
    if (table.Find(process.id))
      throw Exception("process " + std::to_string(process.id) + " is already running");
    WindowHandle next = table.NextWindowHandle();
    for (SimWindow& window : process.windows) {
      if (window.handle != 0) continue;
      window.handle = next;
      next += 4;
    }
    table.processes.push_back(process);
    return true;
  });
  return process.id;
}

ProcessTable SimProcesses::Table() {
  ProcessTable current;
  Update([&](ProcessTable& table) {
    current = table;
    return false;
  });
  return current;
}

void SimProcesses::Save() {
  Update([](ProcessTable&) { return true; });
}

void SimProcesses::Check() {
  Update([](ProcessTable&) { return false; });
}

}  // namespace platform::sim
