#include "winsec/privileges.hpp"

#include <algorithm>

namespace winsec {

using platform::TokenPrivilege;
using platform::win_error::Success;

bool PrivilegeEnabled(platform::Security& security, std::string_view name) {
  std::uint64_t luid = 0;
  std::vector<TokenPrivilege> privileges;
  if (security.LookupPrivilegeValue(name, luid) != Success ||
      security.TokenPrivileges(privileges) != Success)
    return false;
  return std::any_of(privileges.begin(), privileges.end(), [&](const TokenPrivilege& privilege) {
    return privilege.luid == luid && (privilege.attributes & platform::kPrivilegeEnabled);
  });
}

bool EnablePrivilege(platform::Security& security, std::string_view name) {
  std::uint64_t luid = 0;
  std::vector<TokenPrivilege> privileges;
  if (security.LookupPrivilegeValue(name, luid) != Success ||
      security.TokenPrivileges(privileges) != Success)
    return false;
  auto entry =
      std::find_if(privileges.begin(), privileges.end(),
                   [&](const TokenPrivilege& privilege) { return privilege.luid == luid; });
  if (entry == privileges.end()) entry = privileges.insert(privileges.end(), {luid, 0});
  entry->attributes |= platform::kPrivilegeEnabled;
  // NotAllAssigned comes with a call that "succeeded": the privilege is still not enabled.
  return security.AdjustTokenPrivileges(privileges) == Success;
}

}  // namespace winsec
