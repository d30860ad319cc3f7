#include "tools/mkdist/mkdist_command.hpp"

#include <optional>

#include "platform/exception.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tools/mkdist/dist_folder.hpp"
#include "tools/mkdist/earlier_install.hpp"

namespace mkdist {
namespace {

constexpr const char* kUsage =
    "usage: mkdist MACHINE [--folder PATH]\n"
    "       mkdist --earlier MACHINE\n"
    "  Fills a setup folder on the simulated machine MACHINE with the Korvane files.\n"
    "  --folder PATH  Windows path of the setup folder (default C:\\KVSETUP)\n"
    "  --earlier      instead, puts an earlier Korvane installation on MACHINE: its\n"
    "                 registry keys, programs and tables in the system folder\n";

struct Options {
  std::string machine;
  std::string folder{kDefaultSetupFolder};
  bool earlier = false;
  bool folderGiven = false;
};

// Nothing when the command line is wrong (the problem is written to err).
std::optional<Options> ParseArguments(const std::vector<std::string>& arguments,
                                      std::ostream& err) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--folder") {
      if (i + 1 == arguments.size()) {
        err << "mkdist: --folder needs a path\n" << kUsage;
        return std::nullopt;
      }
      options.folder = arguments[++i];
      options.folderGiven = true;
    } else if (argument == "--earlier") {
      options.earlier = true;
    } else if (argument.starts_with("-")) {
      err << "mkdist: unknown option " << argument << "\n" << kUsage;
      return std::nullopt;
    } else if (options.machine.empty()) {
      options.machine = argument;
    } else {
      err << "mkdist: more than one machine given\n" << kUsage;
      return std::nullopt;
    }
  }
  if (options.machine.empty()) {
    err << "mkdist: no machine given\n" << kUsage;
    return std::nullopt;
  }
  if (options.earlier && options.folderGiven) {
    err << "mkdist: --earlier writes no setup folder; --folder does not go with it\n" << kUsage;
    return std::nullopt;
  }
  return options;
}

}  // namespace

int RunMkdist(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsage;
    return kMkdistDone;
  }
  std::optional<Options> options = ParseArguments(arguments, err);
  if (!options) return kMkdistUsage;
  try {
    auto machine = platform::sim::SimMachine::Open(options->machine);
    platform::ScopedMachine current(*machine);
    if (options->earlier) {
      PutEarlierInstallation();
      out << "mkdist: an earlier installation put on " << options->machine << "\n";
    } else {
      FillSetupFolder(options->folder);
      out << "mkdist: setup folder " << options->folder << " filled on " << options->machine
          << "\n";
    }
    machine->Save();
    return kMkdistDone;
  } catch (const std::exception& error) {
    err << "mkdist: " << error.what() << "\n";
    return kMkdistFailed;
  }
}

}  // namespace mkdist
