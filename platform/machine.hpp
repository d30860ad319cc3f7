#pragma once
// A Machine bundles the platform services. One is chosen at start-up (a simulated machine
// kept in a folder, the native Linux mapping for the table engine alone, or the real Windows
// machine) and installed as the current machine; everything above the platform reaches the
// operating system only through it.
#include "platform/clock.hpp"
#include "platform/code_pages.hpp"
#include "platform/file_system.hpp"
#include "platform/processes.hpp"
#include "platform/program_context.hpp"
#include "platform/registry.hpp"
#include "platform/security.hpp"
#include "platform/shell.hpp"
#include "platform/system_info.hpp"
#include "platform/win_types.hpp"

namespace platform {

class Machine {
 public:
  virtual ~Machine() = default;
  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual Processes& processes() = 0;
  virtual Shell& shell() = 0;
  virtual SystemInfo& system() = 0;
  virtual ProgramContext& program() = 0;
  virtual CodePages& codePages() = 0;
  virtual Clock& clock() = 0;
  // The security API (advapi32). A machine without one answers every call with
  // CallNotImplemented, as the Windows 95 family does.
  virtual Security& security();

  // Writes what the machine keeps in memory (registry, process table) to its backing store.
  virtual void Save() = 0;

  // GetLastError / SetLastError of the calling program.
  ErrorCode LastError() const { return lastError_; }
  void SetLastError(ErrorCode code) { lastError_ = code; }

 private:
  ErrorCode lastError_ = 0;
};

// The machine chosen at start-up. Using it before one is installed is a programming error
// and throws std::logic_error.
Machine& CurrentMachine();
bool HasCurrentMachine();
void InstallMachine(Machine* machine);

// Installs a machine for the lifetime of a scope (tests, tools) and restores the previous one.
class ScopedMachine {
 public:
  explicit ScopedMachine(Machine& machine);
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

 private:
  Machine* previous_;
};

}  // namespace platform
