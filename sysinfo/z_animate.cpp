#include "sysinfo/z_animate.hpp"

#include "platform/machine.hpp"

namespace sysinfo {

TzDesktop::TzDesktop()
    : width_(platform::CurrentMachine().system().Screen().width),
      height_(platform::CurrentMachine().system().Screen().height) {}

}  // namespace sysinfo
