#pragma once
// The system's message text of the Windows error codes the process components meet, as
// FormatMessage gives it without the closing line break; empty for a code it does not know.
#include <string_view>

#include "platform/win_types.hpp"

namespace winsec {

std::string_view SystemErrorText(platform::ErrorCode code);

}  // namespace winsec
