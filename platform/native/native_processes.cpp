#include "platform/native/native_processes.hpp"

#include <unistd.h>

namespace platform {
namespace {

constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

}  // namespace

ProcessId NativeProcesses::CurrentProcessId() {
  return static_cast<ProcessId>(::getpid());
}

ErrorCode NativeProcesses::LoadProcessStatus(std::string_view) {
  return win_error::Success;
}

ErrorCode NativeProcesses::EnumerateIds(std::vector<ProcessId>& ids) {
  ids.clear();
  return win_error::Success;
}

ErrorCode NativeProcesses::OpenProcess(ProcessId, std::uint32_t, ProcessHandle& handle) {
  handle = 0;
  return win_error::InvalidParameter;
}

ErrorCode NativeProcesses::ModuleBaseName(ProcessHandle, std::string& name) {
  name.clear();
  return win_error::InvalidHandle;
}

ErrorCode NativeProcesses::Terminate(ProcessHandle, std::uint32_t) {
  return win_error::InvalidHandle;
}

ErrorCode NativeProcesses::WaitForExit(ProcessHandle, std::uint32_t) {
  return win_error::InvalidHandle;
}

ErrorCode NativeProcesses::CloseProcess(ProcessHandle) {
  return win_error::InvalidHandle;
}

ErrorCode NativeProcesses::Snapshot(std::vector<ProcessEntry>& entries) {
  entries.clear();
  return win_error::Success;
}

ErrorCode NativeProcesses::Post(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
  return win_error::InvalidWindowHandle;
}

std::uint32_t NativeProcesses::RegisterMessage(std::string_view name) {
  const auto [entry, added] = messages_.try_emplace(
      Lowered(name), kFirstRegisteredMessage + static_cast<std::uint32_t>(messages_.size()));
  return entry->second;
}

ErrorCode NativeProcesses::CreateNamedSemaphore(std::string_view name, std::int32_t initial,
                                                std::int32_t maximum, bool& alreadyExisted) {
  alreadyExisted = false;
  if (maximum <= 0 || initial < 0 || initial > maximum) return win_error::InvalidParameter;
  alreadyExisted = !semaphores_.emplace(name).second;
  return win_error::Success;
}

}  // namespace platform
