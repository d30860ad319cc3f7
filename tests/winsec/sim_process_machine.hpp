#pragma once
// A fresh simulated machine of a profile, opened as "C:\KVSETUP\SETUP.EXE" with a virtual
// clock and installed as the current machine, with a way to start further processes on it.
#include <memory>
#include <string>
#include <vector>

#include "platform/machine.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace winsec_test {

class SimProcessMachine {
 public:
  explicit SimProcessMachine(std::string_view profile) {
    platform::sim::MakeMachine(folder_.path(), profile);
    machine_ =
        platform::sim::SimMachine::Open(folder_.path(), platform::sim::SimOptions{kProgram, true});
    current_ = std::make_unique<platform::ScopedMachine>(*machine_);
  }

  platform::sim::SimMachine& machine() { return *machine_; }

  // A running program with a main module named after its file.
  platform::ProcessId Start(const std::string& path, std::uint32_t access,
                            std::uint32_t exitDelay = 0) {
    platform::sim::SimProcess process;
    process.path = path;
    process.moduleName = path.substr(path.rfind('\\') + 1);
    process.access = access;
    process.exitDelay = exitDelay;
    return machine_->simProcesses().Add(std::move(process));
  }

  void WriteFile(std::string_view path) {
    std::unique_ptr<platform::File> file;
    machine_->files().Open(path, platform::file_access::GenericWrite, platform::file_share::None,
                           platform::Disposition::CreateAlways, file);
  }

  static constexpr const char* kProgram = "C:\\KVSETUP\\SETUP.EXE";

 private:
  platform::testing::TempFolder folder_;
  std::unique_ptr<platform::sim::SimMachine> machine_;
  std::unique_ptr<platform::ScopedMachine> current_;
};

}  // namespace winsec_test
