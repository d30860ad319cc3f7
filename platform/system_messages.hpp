#pragma once
// FormatMessage texts of the system message table and of the network (LAN Manager) table, as
// an English Windows gives them, without the trailing CR LF. Empty when a code has no text.
#include <string>

#include "platform/win_types.hpp"

namespace platform {

std::string SystemMessageText(ErrorCode code);
// The NERR texts, codes 2100 and up (netmsg.dll).
std::string NetworkMessageText(ErrorCode code);

}  // namespace platform
