#pragma once
// The .lnk writer is shared with the native machine, which cannot depend on the simulated
// one; the simulated shell finds it here.
#include "platform/native/shell_link_format.hpp"
