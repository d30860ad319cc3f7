#pragma once
// What a new simulated NT machine starts with in security.ini: the well-known accounts and
// the machine's own, an administrator's or a plain user's token, and the descriptors that
// release gives the folders and keys the installer touches.
#include "platform/sim/machine_config.hpp"
#include "platform/sim/security_store.hpp"

namespace platform::sim {

struct SecurityChoices {
  bool plainUser = false;    // the token of a user outside the Administrators group
  bool withEveryone = true;  // false: no entry for Everyone in any access list
};

// The accounts of the machine (the machine's own domain is its computer name).
std::vector<SimAccount> DefaultAccounts(const MachineConfig& config);
SimToken DefaultToken(bool plainUser);
SecurityStore DefaultSecurity(const MachineConfig& config, const SecurityChoices& choices);

}  // namespace platform::sim
