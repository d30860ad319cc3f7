#pragma once
// Fresh simulated machines of the four Windows kinds the installer meets: Windows 95 and 98,
// NT 4 and 2000, each with its version record, folders, a fresh installation's registry keys,
// drives and a few ordinary processes. The processor is the host's.
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/sim/security_defaults.hpp"

namespace platform::sim {

// "win95", "win98", "nt4", "win2000".
const std::vector<std::string_view>& ProfileNames();
bool KnownProfile(std::string_view profile);

// Makes `folder` (created when missing) a machine of that profile: machine.ini, registry/,
// processes.ini, drives/ and, on the NT family, security.ini with that release's default
// descriptors (as the choices adjust them). Parts of an earlier machine there are replaced; other
// files in the folder are left alone. Throws platform::Exception for an unknown profile or a folder
// that cannot be written.
void MakeMachine(const std::filesystem::path& folder, std::string_view profile,
                 const SecurityChoices& security = {});

// The Start Menu "Programs" folder of a fresh installation of the profile.
std::string_view StartMenuProgramsFolder(std::string_view profile);

}  // namespace platform::sim
