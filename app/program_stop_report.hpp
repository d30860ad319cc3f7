#pragma once
// What stopping the running product programs came to: the copies stopped, those still running
// (with the reason), the programs that could not be looked for, and the product files that
// could not be replaced afterwards. Setup shows it in the run's summary.
#include <string>
#include <vector>

#include "platform/win_types.hpp"

namespace app {

struct ProgramStopReport {
  struct Copy {
    std::string program;  // executable name as the system gives it ("QALVINT.EXE")
    platform::ProcessId id = 0;
    std::string reason;  // why it still runs; empty for a stopped copy
  };

  std::vector<Copy> stopped;
  std::vector<Copy> stillRunning;
  std::vector<std::string> notLookedFor;      // "<name>: <why>"
  std::vector<std::string> filesNotReplaced;  // full paths

  // One line each for the summary, stopped copies first:
  //   Stopped: QALVINT.EXE (process 516)
  //   Still running: QALVINT.EXE (process 520): it did not end within 5 seconds
  //   Not looked for: QALVINT.EXE: <why>
  //   Not replaced: C:\WINNT\SYSTEM32\Qalvint.exe
  std::vector<std::string> Lines() const;
  // The same without the stopped copies: what the user has to see to.
  std::vector<std::string> ProblemLines() const;
};

}  // namespace app
