#include "platform/machine.hpp"

#include <stdexcept>

#include "platform/no_security.hpp"

namespace platform {
namespace {
Machine* current = nullptr;
}

Security& Machine::security() {
  static NoSecurity none;
  return none;
}

Machine& CurrentMachine() {
  if (!current) throw std::logic_error("no machine has been installed");
  return *current;
}

bool HasCurrentMachine() {
  return current != nullptr;
}

void InstallMachine(Machine* machine) {
  current = machine;
}

ScopedMachine::ScopedMachine(Machine& machine) : previous_(current) {
  current = &machine;
}

ScopedMachine::~ScopedMachine() {
  current = previous_;
}

}  // namespace platform
