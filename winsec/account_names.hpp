#pragma once
// Account names and SIDs on one machine, through the process-wide TSidStore. Display names
// are "DOMAIN\name", or the name alone for the local system account, for the accounts of the
// machine's NT AUTHORITY domain and for accounts without a domain; a SID without an account
// shows as its "S-1-…" text.
#include <optional>
#include <string>

#include "platform/security.hpp"
#include "platform/sid.hpp"

namespace winsec {

class AccountNames {
 public:
  AccountNames(platform::Security& security, std::string machine);

  // Raises ENTException for a failure other than "no mapping".
  std::string DisplayName(const platform::Sid& sid);
  // The SID of an account name (as it stands, "DOMAIN\name" included) or of a strict SID text
  // ("S-1-…", at most eight sub-authorities); nothing when it is neither. Raises ENTException
  // for a failing look-up.
  std::optional<platform::Sid> SidOf(const std::string& name);

 private:
  const std::string& NtAuthority();

  platform::Security& security_;
  std::string machine_;
  std::optional<std::string> ntAuthority_;
};

}  // namespace winsec
