#include "tools/xbtool/tool_machine.hpp"

#include "platform/native/native_machine.hpp"
#include "platform/sim/sim_machine.hpp"

namespace tools::xbtool {

ToolMachine::ToolMachine(const std::optional<std::string>& simulatedFolder)
    : simulated_(simulatedFolder.has_value()) {
  if (simulatedFolder) {
    machine_ = platform::sim::SimMachine::Open(*simulatedFolder);
  } else {
    machine_ = std::make_unique<platform::NativeMachine>();
  }
  installed_ = std::make_unique<platform::ScopedMachine>(*machine_);
  engine_ = std::make_unique<tables::XbEngineScope>();
}

ToolMachine::~ToolMachine() {
  // The engine closes its files before the machine that holds them goes away.
  engine_.reset();
  installed_.reset();
}

}  // namespace tools::xbtool
