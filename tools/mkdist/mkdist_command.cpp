#include "tools/mkdist/mkdist_command.hpp"

#include <optional>

#include "platform/exception.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tools/mkdist/dist_contents.hpp"
#include "tools/mkdist/dist_folder.hpp"

namespace mkdist {
namespace {

constexpr const char* kUsage =
    "usage: mkdist MACHINE [--folder PATH]\n"
    "  Fills a setup folder on the simulated machine MACHINE with the Korvane files.\n"
    "  --folder PATH  Windows path of the setup folder (default C:\\KVSETUP)\n";

struct Options {
  std::string machine;
  std::string folder{kDefaultSetupFolder};
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
    FillSetupFolder(options->folder);
    out << "mkdist: " << DistributionFiles().size() + 1 << " files written to " << options->folder
        << " on " << options->machine << "\n";
    return kMkdistDone;
  } catch (const platform::Exception& error) {
    err << "mkdist: " << error.what() << "\n";
    return kMkdistFailed;
  }
}

}  // namespace mkdist
