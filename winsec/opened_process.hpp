#pragma once
// One open handle on a running process, closed when the object goes. The name is read, the
// process ended and its exit waited for through this one handle, so that an id the system
// has meanwhile given to another process cannot lead to ending a stranger.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/machine.hpp"

namespace winsec {

class OpenedProcess {
 public:
  // Opens the process with these rights; none when it does not open, with the error.
  static std::optional<OpenedProcess> Open(platform::ProcessId id, std::uint32_t access,
                                           platform::ErrorCode& error);
  ~OpenedProcess();
  OpenedProcess(OpenedProcess&& other) noexcept;
  OpenedProcess& operator=(OpenedProcess&&) = delete;
  OpenedProcess(const OpenedProcess&) = delete;
  OpenedProcess& operator=(const OpenedProcess&) = delete;

  platform::ProcessId Id() const { return id_; }
  // The base name of the main module, "System" when it has none or it cannot be read (needs
  // query and read rights).
  std::string BaseName();
  // Ends the process with this exit code; ENTException when it is refused.
  void Terminate(std::uint32_t exitCode);
  // Waits up to `milliseconds` of machine time: true once the process has gone. ENTException
  // when the wait itself fails.
  bool WaitForExit(std::uint32_t milliseconds);

 private:
  OpenedProcess(platform::Processes& processes, platform::ProcessId id,
                platform::ProcessHandle handle)
      : processes_(&processes), id_(id), handle_(handle) {}

  platform::Processes* processes_;
  platform::ProcessId id_;
  std::optional<platform::ProcessHandle> handle_;
};

}  // namespace winsec
