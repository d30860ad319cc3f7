#pragma once
// Stopping running copies of the product's programs before their files are replaced: on the
// NT family by ending the process, on the Windows 95 family by asking its windows to close.
// A program is known by its executable's base name ("QALVINT.EXE"), compared whole and without
// regard to case; an empty name matches nothing, and the installer never stops itself. Every
// running copy is stopped, and each is waited for (a few seconds of machine time at most);
// what came of it goes into the report.
#include <string>
#include <string_view>

#include "app/program_stop_report.hpp"
#include "platform/win_types.hpp"

namespace app {

// How long the stopped copies of one program are waited for, in all.
inline constexpr std::uint32_t kStopWaitMilliseconds = 5000;

void KillProcessByName(std::string_view name, ProgramStopReport& report);
void CloseWindowsOfExe(std::string_view name, ProgramStopReport& report);
// The executable path of the process that owns the window, from the process snapshot; empty
// when there is no such process or no snapshot (NT 4.0 has none).
std::string OwnerExeName(platform::WindowHandle window);

}  // namespace app
