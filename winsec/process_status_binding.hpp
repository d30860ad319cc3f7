#pragma once
// Binding of the process status library (psapi.dll), on the NT family only: the system
// folder's copy when there is one, else whatever the program loader finds by the bare name
// (the setup folder's copy on NT 4.0, which ships none of its own).
#include "platform/win_types.hpp"

namespace winsec {

// Success once bound; the loader's error otherwise, NotSupported on the Windows 95 family.
platform::ErrorCode BindProcessStatus();

}  // namespace winsec
