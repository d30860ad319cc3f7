#pragma once
// mkmachine DIR --profile win95|win98|nt4|win2000 [--force]: makes a simulated Windows machine
// and prints what it holds.
#include <ostream>
#include <string>
#include <vector>

namespace tools {

inline constexpr int kMkmachineDone = 0;
inline constexpr int kMkmachineFailed = 1;  // refused or could not be made
inline constexpr int kMkmachineUsage = 2;   // the command line is wrong

int RunMkmachine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tools
