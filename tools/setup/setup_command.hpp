#pragma once
// Setup [--machine DIR] [--setup-path PATH] [--ui console|script] [--answers FILE]: runs the
// installer as "SETUP.EXE" in the setup folder (default C:\KVSETUP), with that folder as the
// current folder. On Linux the machine is a simulated one and --machine is required. With an
// answer file the run is unattended (script toolkit, virtual clock); otherwise it runs in the
// terminal (console toolkit, real time). The machine is saved however the run ends.
#include <ostream>
#include <string>
#include <vector>

namespace setup_tool {

inline constexpr int kSetupDone = 0;
inline constexpr int kSetupFailed = 1;  // the installation stopped with an error
inline constexpr int kSetupUsage = 2;   // the command line or the answer file is wrong

inline constexpr const char* kDefaultSetupPath = "C:\\KVSETUP";

int RunSetupCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);

}  // namespace setup_tool
