#include "setup_run_fixture.hpp"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tools/setup/setup_command.hpp"

namespace app_test {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

}  // namespace

SetupResult SetupRunTest::RunSetupCommand(std::vector<std::string> arguments) {
  CloseMachine();
  std::ostringstream out, err;
  SetupResult result;
  result.exitCode = setup_tool::RunSetupCommand(arguments, out, err);
  result.out = out.str();
  result.err = err.str();
  OpenMachine();
  return result;
}

SetupResult SetupRunTest::RunSetup(const std::string& answers) {
  std::filesystem::path file = Folder() / "answers.ini";
  std::ofstream(file, std::ios::binary) << answers;
  return RunSetupCommand({"--machine", Folder().string(), "--answers", file.string()});
}

std::map<std::string, std::string> SetupRunTest::MachineState() {
  Machine().Save();
  std::map<std::string, std::string> state;
  for (const char* part : {"registry", "drives"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder() / part)) {
      std::string name = std::filesystem::relative(entry.path(), Folder()).string();
      state[name] = entry.is_regular_file() ? ReadHostFile(entry.path()) : "<folder>";
    }
  }
  return state;
}

std::string SetupRunTest::RegFile(const std::string& root) {
  Machine().Save();
  return ReadHostFile(Folder() / "registry" / (root + ".reg"));
}

LinkContents SetupRunTest::Link(std::string_view path) {
  std::optional<LinkContents> link = ReadLink(ReadFile(path));
  EXPECT_TRUE(link.has_value()) << path << " is not a shell link";
  return link.value_or(LinkContents{});
}

bool SetupRunTest::Running(std::string_view exeName) {
  const platform::sim::ProcessTable table = Machine().simProcesses().Table();
  return std::any_of(table.processes.begin(), table.processes.end(),
                     [&](const platform::sim::SimProcess& process) {
                       return Upper(process.moduleName) == Upper(exeName);
                     });
}

}  // namespace app_test
