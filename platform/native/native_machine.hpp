#pragma once
// A Machine for the table engine and tools on Linux without a simulated machine: host paths
// found without regard to case, an empty registry and process table held in memory, the
// host's clock and names, code pages 1252 and 437.
#include "platform/machine.hpp"
#include "platform/memory_registry.hpp"
#include "platform/native/native_file_system.hpp"
#include "platform/native/native_processes.hpp"
#include "platform/native/native_program_context.hpp"
#include "platform/native/native_shell.hpp"
#include "platform/native/native_system_info.hpp"
#include "platform/real_clock.hpp"

namespace platform {

class NativeMachine final : public Machine {
 public:
  NativeMachine();

  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  Processes& processes() override { return processes_; }
  Shell& shell() override { return shell_; }
  SystemInfo& system() override { return system_; }
  ProgramContext& program() override { return program_; }
  CodePages& codePages() override { return codePages_; }
  Clock& clock() override { return clock_; }
  // The registry and the process table live only as long as the program: nothing to write.
  void Save() override {}

 private:
  NativeSystemInfo system_;
  MemoryRegistry registry_;
  NativeFileSystem files_;
  NativeProcesses processes_;
  NativeShell shell_;
  NativeProgramContext program_;
  TableCodePages codePages_;
  RealClock clock_;
};

}  // namespace platform
