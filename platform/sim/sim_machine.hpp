#pragma once
// A Windows machine simulated in a host folder that anyone can read and edit: machine.ini
// (version, folders, names, locale, processor, screen, drives, clock), drives/<LETTER>/ (the
// files), registry/<ROOT>.reg (REGEDIT4 text, one file per root) and processes.ini (the
// running processes) and security.ini (owners, access lists, accounts, the token). Opening it loads
// the registry into memory; Save() and the destructor write it back. The process table is shared
// with other programs run on the same machine.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/code_pages.hpp"
#include "platform/machine.hpp"
#include "platform/memory_registry.hpp"
#include "platform/sim/machine_config.hpp"
#include "platform/sim/sim_context.hpp"
#include "platform/sim/sim_processes.hpp"
#include "platform/sim/sim_security.hpp"

namespace platform::sim {

struct SimOptions {
  // Windows path of the running program (e.g. "C:\KVSETUP\SETUP.EXE"): its folder becomes the
  // current folder and it joins the process table for the run. Empty for a tool that only
  // looks at the machine.
  std::string programPath;
  // A virtual or the real clock, whatever machine.ini says; unset: as machine.ini says.
  std::optional<bool> virtualClock;
};

class SimMachine : public Machine {
 public:
  // Throws platform::Exception for a folder that is not a machine and for a malformed file,
  // naming the file and line.
  static std::unique_ptr<SimMachine> Open(const std::filesystem::path& folder,
                                          const SimOptions& options = {});
  ~SimMachine() override;
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  Registry& registry() override { return *registry_; }
  FileSystem& files() override { return *files_; }
  Processes& processes() override { return *processes_; }
  Shell& shell() override { return *shell_; }
  SystemInfo& system() override { return *system_; }
  ProgramContext& program() override { return *program_; }
  CodePages& codePages() override { return *codePages_; }
  Clock& clock() override { return *clock_; }
  Security& security() override { return *security_; }
  // Writes the registry files, the process table and security.ini. Throws platform::Exception when
  // a file cannot be written.
  void Save() override;

  const MachineConfig& config() const { return config_; }
  const std::filesystem::path& folder() const { return context_.machineFolder; }
  SimContext& context() { return context_; }
  SimProcesses& simProcesses() { return *processes_; }
  SimSecurity& simSecurity() { return *security_; }
  // The id the running program has in the process table (0 when it has none).
  ProcessId programId() const { return programId_; }

 private:
  SimMachine(MachineConfig config, const std::filesystem::path& folder, const SimOptions& options);
  void LoadRegistry();
  void SaveRegistry();

  MachineConfig config_;
  SimContext context_;
  std::unique_ptr<CodePages> codePages_;
  std::unique_ptr<MemoryRegistry> registry_;
  std::unique_ptr<FileSystem> files_;
  std::unique_ptr<SimProcesses> processes_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<SystemInfo> system_;
  std::unique_ptr<ProgramContext> program_;
  // Shared with the handles that stamp file times, which may outlive the machine.
  std::shared_ptr<Clock> clock_;
  std::unique_ptr<SimSecurity> security_;
  ProcessId programId_ = 0;
};

}  // namespace platform::sim
