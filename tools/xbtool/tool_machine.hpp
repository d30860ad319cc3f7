#pragma once
// The machine the tool works on, installed as the current machine with the engine started for
// the lifetime of the object: the host itself (file names are host paths, found without regard
// to case) or a simulated Windows machine in a folder (file names are Windows paths on it).
#include <memory>
#include <optional>
#include <string>

#include "platform/machine.hpp"
#include "tables/storage/engine.hpp"

namespace tools::xbtool {

class ToolMachine {
 public:
  // simulatedFolder: the folder of a simulated machine (--machine), or nothing for the host.
  // A folder that is not a machine raises platform::Exception.
  explicit ToolMachine(const std::optional<std::string>& simulatedFolder);
  ~ToolMachine();
  ToolMachine(const ToolMachine&) = delete;
  ToolMachine& operator=(const ToolMachine&) = delete;

  platform::Machine& machine() { return *machine_; }
  bool simulated() const { return simulated_; }

 private:
  bool simulated_;
  std::unique_ptr<platform::Machine> machine_;
  std::unique_ptr<platform::ScopedMachine> installed_;
  std::unique_ptr<tables::XbEngineScope> engine_;
};

}  // namespace tools::xbtool
