#include "platform/sim/sim_machine.hpp"

#include <algorithm>

#include "platform/exception.hpp"
#include "platform/path_parts.hpp"
#include "platform/real_clock.hpp"
#include "platform/reg_file.hpp"
#include "platform/sim/host_text_file.hpp"
#include "platform/sim/library_search.hpp"
#include "platform/sim/sim_file_system.hpp"
#include "platform/sim/sim_program_context.hpp"
#include "platform/sim/sim_shell.hpp"
#include "platform/sim/sim_system_info.hpp"
#include "platform/virtual_clock.hpp"

namespace platform::sim {
namespace {

constexpr KeyHandle kRoots[] = {hkey::LocalMachine, hkey::CurrentUser, hkey::Users,
                                hkey::ClassesRoot};

std::filesystem::path RegistryFile(const std::filesystem::path& folder, KeyHandle root) {
  return folder / "registry" / (std::string(RootKeyName(root)) + ".reg");
}

// The folder the program starts in: its own, or the root of drive C: when it has none.
std::string StartFolder(std::string_view programPath) {
  const std::string_view folder = PathFolder(programPath);
  return folder.empty() ? "C:\\" : std::string(folder);
}

// Checks what the services rely on: known code pages and folders on a drive of the machine.
void Validate(const MachineConfig& config, const std::filesystem::path& iniFile) {
  for (std::uint32_t codePage : {config.ansiCodePage, config.oemCodePage})
    if (!KnownCodePage(codePage))
      throw Exception(iniFile.string() + ": code page " + std::to_string(codePage) +
                      " is not supported (known: 1252, 437, 850)");
  for (const std::string* folder :
       {&config.windowsFolder, &config.systemFolder, &config.tempFolder}) {
    const bool onDrive =
        HasDriveRoot(*folder) &&
        std::any_of(config.drives.begin(), config.drives.end(), [&](const DriveConfig& drive) {
          return drive.letter == ((*folder)[0] & ~0x20);
        });
    if (!onDrive)
      throw Exception(iniFile.string() + ": the folder \"" + *folder +
                      "\" is not a full path on a drive of the machine");
  }
}

LocalTime HostNow() {
  return RealClock(1).Now();
}

}  // namespace

std::unique_ptr<SimMachine> SimMachine::Open(const std::filesystem::path& folder,
                                             const SimOptions& options) {
  const std::filesystem::path iniFile = folder / "machine.ini";
  if (!std::filesystem::is_regular_file(iniFile))
    throw Exception(folder.string() + " is not a simulated machine: it has no machine.ini");
  MachineConfig config = ParseMachineIni(ReadHostText(iniFile), iniFile.string());
  Validate(config, iniFile);
  std::unique_ptr<SimMachine> machine(new SimMachine(std::move(config), folder, options));
  machine->LoadRegistry();
  machine->security_->Watch();
  machine->processes_->Check();
  if (!options.programPath.empty())
    machine->programId_ = machine->processes_->BeginRun(options.programPath);
  return machine;
}

SimMachine::SimMachine(MachineConfig config, const std::filesystem::path& folder,
                       const SimOptions& options)
    : config_(std::move(config)) {
  context_.machineFolder = folder;
  for (const auto& drive : config_.drives)
    context_.drives.push_back({drive.letter, drive.kind, drive.fileSystem,
                               folder / "drives" / std::string(1, drive.letter)});
  context_.windowsFolder = config_.windowsFolder;
  context_.systemFolder = config_.systemFolder;
  context_.tempFolder = config_.tempFolder;
  context_.currentFolder = StartFolder(options.programPath);

  codePages_ = std::make_unique<TableCodePages>(config_.ansiCodePage, config_.oemCodePage);
  registry_ = std::make_unique<MemoryRegistry>(config_.ansiCodePage);
  registry_->SetFlushHandler([this] {
    try {
      SaveRegistry();
      return win_error::Success;
    } catch (const Exception&) {
      return win_error::AccessDenied;
    }
  });
  if (options.virtualClock.value_or(config_.virtualClock)) {
    clock_ = std::make_shared<VirtualClock>(config_.clockStart.value_or(HostNow()),
                                            config_.processor.megahertz);
  } else {
    clock_ = std::make_shared<RealClock>(config_.processor.megahertz);
  }
  processes_ = std::make_unique<SimProcesses>(folder, config_.version, *codePages_, clock_);
  context_.isRunningExecutable = [this](const std::string& path) {
    return processes_->IsRunningExecutable(path);
  };
  auto files = std::make_unique<SimFileSystem>(context_);
  // A real clock is the host's, which stamps files by itself.
  if (clock_->IsVirtual())
    files->SetWriteTimeSource([clock = clock_] { return clock->NowAsFileTime(); });
  files_ = std::move(files);
  processes_->UseLibraryFinder(
      [search = LibrarySearch(context_, *files_, std::string(PathFolder(options.programPath)))](
          std::string_view name) { return search.Find(name); });
  shell_ = std::make_unique<SimShell>(context_, *files_, *processes_);
  system_ = std::make_unique<SimSystemInfo>(config_);
  program_ = std::make_unique<SimProgramContext>(context_, *files_, options.programPath);
  security_ = std::make_unique<SimSecurity>(config_, context_, *registry_, *files_);
}

SimMachine::~SimMachine() {
  try {
    Save();
  } catch (const std::exception&) {
    // Nothing can be reported from here; Save() is there for callers who want to know.
  }
}

void SimMachine::LoadRegistry() {
  for (KeyHandle root : kRoots) {
    const std::filesystem::path file = RegistryFile(folder(), root);
    if (std::filesystem::exists(file))
      ImportRegistryText(*registry_, ReadHostText(file), file.string());
  }
}

void SimMachine::SaveRegistry() {
  std::error_code error;
  std::filesystem::create_directories(folder() / "registry", error);
  if (error) throw Exception("Cannot create " + (folder() / "registry").string());
  for (KeyHandle root : kRoots)
    WriteHostTextReplacing(RegistryFile(folder(), root), ExportRegistryRoot(*registry_, root));
}

void SimMachine::Save() {
  SaveRegistry();
  processes_->Save();
  security_->Save();
}

}  // namespace platform::sim
