#pragma once
// mkdist MACHINE [--folder PATH]: fills a setup folder on a simulated machine (default
// C:\KVSETUP) with the product's files and tables.
// mkdist --earlier MACHINE: puts an earlier installation on the machine instead.
#include <ostream>
#include <string>
#include <vector>

namespace mkdist {

inline constexpr int kMkdistDone = 0;
inline constexpr int kMkdistFailed = 1;  // the machine or a file could not be used
inline constexpr int kMkdistUsage = 2;   // the command line is wrong

int RunMkdist(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace mkdist
