#include "platform/native/native_machine.hpp"

namespace platform {

NativeMachine::NativeMachine()
    : registry_(system_.AnsiCodePage()),
      shell_(files_),
      program_(files_),
      codePages_(system_.AnsiCodePage(), system_.OemCodePage()),
      clock_(system_.Processor().megahertz) {}

}  // namespace platform
