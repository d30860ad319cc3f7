#include "tools/mkmachine/mkmachine_command.hpp"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/exception.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"

namespace tools {
namespace {

constexpr const char* kUsage =
    "Usage: mkmachine DIR --profile PROFILE [--force] [--no-everyone] [--plain-user]\n"
    "\n"
    "Makes DIR a simulated Windows machine: machine.ini, registry/, processes.ini,\n"
    "drives/ and, for nt4 and win2000, security.ini. PROFILE is one of win95, win98,\n"
    "nt4, win2000.\n"
    "\n"
    "  --profile PROFILE  the Windows kind of the machine\n"
    "  --force            also use a DIR that holds other files (an earlier machine in DIR\n"
    "                     is replaced without it)\n"
    "  --no-everyone      no access list of the NT machine has an entry for Everyone\n"
    "  --plain-user       programs run with a user's token, not an administrator's\n"
    "  --help             show this text\n";

struct Arguments {
  std::string folder;
  std::string profile;
  bool force = false;
  platform::sim::SecurityChoices security;
  bool help = false;
};

// Fills `parsed`; returns an error text for a wrong command line.
std::optional<std::string> Parse(const std::vector<std::string>& arguments, Arguments& parsed) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      parsed.help = true;
    } else if (argument == "--force") {
      parsed.force = true;
    } else if (argument == "--no-everyone") {
      parsed.security.withEveryone = false;
    } else if (argument == "--plain-user") {
      parsed.security.plainUser = true;
    } else if (argument == "--profile") {
      if (++i == arguments.size()) return "--profile needs a profile name";
      parsed.profile = arguments[i];
    } else if (argument.rfind("--profile=", 0) == 0) {
      parsed.profile = argument.substr(10);
    } else if (argument.rfind("-", 0) == 0) {
      return "unknown option " + argument;
    } else if (!parsed.folder.empty()) {
      return "only one DIR may be given";
    } else {
      parsed.folder = argument;
    }
  }
  if (parsed.help) return std::nullopt;
  if (parsed.folder.empty()) return "DIR is missing";
  if (parsed.profile.empty()) return "--profile is missing";
  if (!platform::sim::KnownProfile(parsed.profile))
    return "unknown profile \"" + parsed.profile + "\" (known: win95, win98, nt4, win2000)";
  return std::nullopt;
}

bool HoldsOtherFiles(const std::filesystem::path& folder) {
  return std::filesystem::exists(folder) && !std::filesystem::is_empty(folder) &&
         !std::filesystem::exists(folder / "machine.ini");
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

void PrintSummary(platform::sim::SimMachine& machine, std::ostream& out) {
  const auto& config = machine.config();
  const auto& version = config.version;
  out << "Made a machine of profile " << config.profile << " in " << machine.folder().string()
      << "\n";
  out << "  Windows:    " << (config.NtFamily() ? "NT family" : "95 family") << " " << version.major
      << "." << version.minor << ", build " << (version.build & 0xFFFF);
  if (!version.servicePack.empty()) out << ", " << version.servicePack;
  out << "\n";
  out << "  Folders:    Windows " << config.windowsFolder << ", system " << config.systemFolder
      << ", temp " << config.tempFolder << "\n";
  out << "  Start menu: " << platform::sim::StartMenuProgramsFolder(config.profile) << "\n";
  out << "  Drives:    ";
  for (const auto& drive : config.drives)
    out << " " << drive.letter << ": "
        << (drive.kind == platform::sim::DriveKind::CdRom ? "CD-ROM" : "fixed") << " "
        << drive.fileSystem << ";";
  out << "\n";
  const auto& processor = config.processor;
  out << "  Processor:  " << (processor.vendor.empty() ? "-unknown-" : processor.vendor)
      << ", signature " << Hex(processor.signature) << ", " << processor.megahertz << " MHz\n";
  // The table itself: NT 4.0 offers no process snapshot.
  const platform::sim::ProcessTable table = machine.simProcesses().Table();
  out << "  Processes:  " << table.processes.size() << "\n";
  for (const auto& process : table.processes)
    out << "    " << process.id << "\t" << process.path << "\n";
}

}  // namespace

int RunMkmachine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  Arguments parsed;
  if (const auto error = Parse(arguments, parsed)) {
    err << "mkmachine: " << *error << "\n" << kUsage;
    return kMkmachineUsage;
  }
  if (parsed.help) {
    out << kUsage;
    return kMkmachineDone;
  }
  const std::filesystem::path folder(parsed.folder);
  try {
    if (std::filesystem::exists(folder) && !std::filesystem::is_directory(folder)) {
      err << "mkmachine: " << parsed.folder << " is a file, not a folder\n";
      return kMkmachineFailed;
    }
    if (HoldsOtherFiles(folder) && !parsed.force) {
      err << "mkmachine: " << parsed.folder
          << " holds other files and is not a machine; use --force to make it one anyway\n";
      return kMkmachineFailed;
    }
    platform::sim::MakeMachine(folder, parsed.profile, parsed.security);
    auto machine = platform::sim::SimMachine::Open(folder);
    PrintSummary(*machine, out);
    return kMkmachineDone;
  } catch (const platform::Exception& error) {
    err << "mkmachine: " << error.what() << "\n";
  } catch (const std::filesystem::filesystem_error& error) {
    err << "mkmachine: " << error.what() << "\n";
  }
  return kMkmachineFailed;
}

}  // namespace tools
