#pragma once
// The host file system for the table engine and tools on Linux without a simulated machine:
// host paths whose names resolve without regard to case.
#include "platform/native/host_file_system.hpp"

namespace platform {

class NativeFileSystem final : public HostFileSystem {
 public:
  NativeFileSystem();
};

}  // namespace platform
