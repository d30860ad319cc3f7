#pragma once
// Privileges of the current process token.
#include <string_view>

#include "platform/security.hpp"

namespace winsec {

bool PrivilegeEnabled(platform::Security& security, std::string_view name);
// Enables a privilege the token holds. False when it could not: an unknown name, a token
// without it (AdjustTokenPrivileges answering NotAllAssigned) or any failing call.
bool EnablePrivilege(platform::Security& security, std::string_view name);

}  // namespace winsec
