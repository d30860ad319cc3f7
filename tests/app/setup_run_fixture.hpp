#pragma once
// Whole installations run through the Setup command with an answer file, on a simulated
// machine that the test prepares beforehand and inspects afterwards.
#include <map>
#include <string>

#include "lnk_reader.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {

struct SetupResult {
  int exitCode = -1;
  std::string out;  // the transcript of questions and answers
  std::string err;
};

class SetupRunTest : public SimMachineTest {
 protected:
  // Closes the machine, runs Setup on it with these answers and opens it again.
  SetupResult RunSetup(const std::string& answers);
  // Runs Setup with its own command line (the machine is closed meanwhile).
  SetupResult RunSetupCommand(std::vector<std::string> arguments);

  // The registry and drive contents as files on the host, for comparing before and after.
  std::map<std::string, std::string> MachineState();
  // The REGEDIT4 text of one root as saved ("HKEY_LOCAL_MACHINE").
  std::string RegFile(const std::string& root);
  // A shortcut of the machine, read back from its bytes.
  LinkContents Link(std::string_view path);
  // Whether a process of that executable name runs (letter case ignored).
  bool Running(std::string_view exeName);
};

}  // namespace app_test
