#include "winsec/opened_process.hpp"

#include "winsec/nt_exception.hpp"

namespace winsec {

using platform::ErrorCode;
namespace win_error = platform::win_error;

std::optional<OpenedProcess> OpenedProcess::Open(platform::ProcessId id, std::uint32_t access,
                                                 ErrorCode& error) {
  platform::Processes& processes = platform::CurrentMachine().processes();
  platform::ProcessHandle handle = 0;
  error = processes.OpenProcess(id, access, handle);
  if (error != win_error::Success) return std::nullopt;
  return OpenedProcess(processes, id, handle);
}

OpenedProcess::~OpenedProcess() {
  // Closing a handle this object opened cannot fail in a way anyone could act on.
  if (handle_) processes_->CloseProcess(*handle_);
}

OpenedProcess::OpenedProcess(OpenedProcess&& other) noexcept
    : processes_(other.processes_), id_(other.id_), handle_(other.handle_) {
  other.handle_.reset();
}

std::string OpenedProcess::BaseName() {
  std::string name;
  // The system processes have no main module whose name could be read.
  if (processes_->ModuleBaseName(*handle_, name) != win_error::Success || name.empty())
    return "System";
  return name;
}

void OpenedProcess::Terminate(std::uint32_t exitCode) {
  const ErrorCode error = processes_->Terminate(*handle_, exitCode);
  if (error != win_error::Success) throw ENTException::Process(error);
}

bool OpenedProcess::WaitForExit(std::uint32_t milliseconds) {
  const ErrorCode result = processes_->WaitForExit(*handle_, milliseconds);
  if (result == win_error::WaitTimeout) return false;
  if (result != win_error::Success) throw ENTException::Process(result);
  return true;
}

}  // namespace winsec
