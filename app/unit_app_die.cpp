#include "app/unit_app_die.hpp"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/machine.hpp"
#include "platform/path_parts.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/nt_process.hpp"
#include "winsec/opened_process.hpp"

namespace app {
namespace {

using platform::ErrorCode;
using platform::ProcessId;
namespace process_access = platform::process_access;

constexpr std::uint32_t kEndingAccess = process_access::QueryInformation | process_access::VmRead |
                                        process_access::Terminate | process_access::Synchronize;
// A stopped program gets a moment before the next one is looked at.
constexpr std::uint32_t kPauseAfterRequest = 100;

bool IsExecutable(std::string_view baseName, std::string_view name) {
  if (name.empty() || baseName.size() != name.size()) return false;
  platform::CodePages& casing = platform::CurrentMachine().codePages();
  return casing.Upper(baseName) == casing.Upper(name);
}

std::string ErrorText(ErrorCode error) {
  return winsec::ENTException::Process(error).what();
}

// A copy asked to go, with the handle its exit is waited on.
struct Leaving {
  winsec::OpenedProcess process;
  std::string program;
};

// The milliseconds left of one shared wait, on the machine clock.
class WaitBudget {
 public:
  WaitBudget() : clock_(platform::CurrentMachine().clock()), start_(clock_.TickCount()) {}

  std::uint32_t Left() {
    const std::uint32_t spent = clock_.TickCount() - start_;
    return spent >= kStopWaitMilliseconds ? 0 : kStopWaitMilliseconds - spent;
  }

 private:
  platform::Clock& clock_;
  std::uint32_t start_;
};

void AwaitExits(std::vector<Leaving>& leaving, ProgramStopReport& report) {
  WaitBudget budget;
  for (Leaving& copy : leaving) {
    ProgramStopReport::Copy entry{copy.program, copy.process.Id(), ""};
    try {
      if (copy.process.WaitForExit(budget.Left())) {
        report.stopped.push_back(std::move(entry));
        continue;
      }
      entry.reason =
          "it did not end within " + std::to_string(kStopWaitMilliseconds / 1000) + " seconds";
    } catch (const winsec::ENTException& error) {
      entry.reason = "waiting for it to end failed (" + std::string(error.what()) + ")";
    }
    report.stillRunning.push_back(std::move(entry));
  }
}

// A process that does not open for ending stays running; it is reported when its name can
// still be read and is the program's. When not even that can be read, whether it is the
// program is unknown: a file it holds is reported as not replaced.
void NoteUnopenable(ProcessId id, std::string_view name, ErrorCode error,
                    ProgramStopReport& report) {
  winsec::TNTProcess process(id);
  try {
    if (IsExecutable(process.Name(), name))
      report.stillRunning.push_back(
          {process.Name(), id, "it cannot be opened to end it (" + ErrorText(error) + ")"});
  } catch (const winsec::ENTException&) {
  }
}

// Ends the process when it is the program; true when it was asked to go.
bool EndIfProgram(winsec::OpenedProcess& process, std::string_view name, std::string& program,
                  ProgramStopReport& report) {
  program = process.BaseName();
  if (!IsExecutable(program, name)) return false;
  try {
    process.Terminate(0);
  } catch (const winsec::ENTException& refusal) {
    report.stillRunning.push_back(
        {program, process.Id(), "it refused to end (" + std::string(refusal.what()) + ")"});
    return false;
  }
  platform::CurrentMachine().clock().Sleep(kPauseAfterRequest);
  return true;
}

// Opens the window's owner to wait for it once its windows were asked to close.
void WatchLeaving(ProcessId owner, std::string_view program, std::vector<Leaving>& leaving,
                  ProgramStopReport& report) {
  ErrorCode error = platform::win_error::Success;
  std::optional<winsec::OpenedProcess> process =
      winsec::OpenedProcess::Open(owner, process_access::Synchronize, error);
  if (process) {
    leaving.push_back({std::move(*process), std::string(program)});
    return;
  }
  report.stillRunning.push_back({std::string(program), owner,
                                 "it cannot be opened to see it end (" + ErrorText(error) + ")"});
}

}  // namespace

void KillProcessByName(std::string_view name, ProgramStopReport& report) {
  if (name.empty()) return;
  winsec::TNTProcessList list;
  if (list.EnumerationError() != platform::win_error::Success) {
    report.notLookedFor.push_back(std::string(name) +
                                  ": the running programs could not be listed (" +
                                  ErrorText(list.EnumerationError()) + ")");
    return;
  }
  const ProcessId self = platform::CurrentMachine().processes().CurrentProcessId();
  std::vector<Leaving> leaving;
  for (int i = 0; i < list.Count(); ++i) {
    const ProcessId id = list.ProcessId(i);
    if (id == self) continue;
    ErrorCode error = platform::win_error::Success;
    std::optional<winsec::OpenedProcess> process =
        winsec::OpenedProcess::Open(id, kEndingAccess, error);
    if (!process) {
      NoteUnopenable(id, name, error, report);
      continue;
    }
    std::string program;
    if (EndIfProgram(*process, name, program, report))
      leaving.push_back({std::move(*process), std::move(program)});
  }
  AwaitExits(leaving, report);
}

void CloseWindowsOfExe(std::string_view name, ProgramStopReport& report) {
  if (name.empty()) return;
  platform::Machine& machine = platform::CurrentMachine();
  platform::Processes& processes = machine.processes();
  const ProcessId self = processes.CurrentProcessId();
  std::vector<Leaving> leaving;
  std::vector<ProcessId> asked;
  for (platform::WindowHandle window : processes.TopLevelWindows()) {
    const ProcessId owner = processes.WindowProcess(window);
    if (owner == self) continue;
    const std::string path = OwnerExeName(window);
    const std::string_view program = platform::PathFileName(path);
    if (!IsExecutable(program, name)) continue;
    if (std::find(asked.begin(), asked.end(), owner) == asked.end()) {
      asked.push_back(owner);
      WatchLeaving(owner, program, leaving, report);
    }
    // A window that has gone meanwhile needs no closing.
    processes.Post(window, platform::window_message::SysCommand, platform::window_message::ScClose,
                   0);
    machine.clock().Sleep(kPauseAfterRequest);
  }
  AwaitExits(leaving, report);
}

std::string OwnerExeName(platform::WindowHandle window) {
  platform::Processes& processes = platform::CurrentMachine().processes();
  const ProcessId owner = processes.WindowProcess(window);
  std::vector<platform::ProcessEntry> entries;
  if (owner == 0 || processes.Snapshot(entries) != platform::win_error::Success) return {};
  for (const platform::ProcessEntry& entry : entries)
    if (entry.id == owner) return entry.exePath;
  return {};
}

}  // namespace app
