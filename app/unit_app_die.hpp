#pragma once
// Stopping running copies of the product's programs before their files are replaced: on the
// NT family by ending the process, on the Windows 95 family by closing its windows. Both are
// given the executable name ("QALVINT.EXE").
#include <string_view>

namespace app {

void KillProcessByName(std::string_view name);
void CloseWindowsOfExe(std::string_view name);

}  // namespace app
