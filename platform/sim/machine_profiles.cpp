#include "platform/sim/machine_profiles.hpp"

#include <array>
#include <string>

#include "platform/exception.hpp"
#include "platform/memory_registry.hpp"
#include "platform/native/host_processor.hpp"
#include "platform/path_parts.hpp"
#include "platform/reg_file.hpp"
#include "platform/sim/host_text_file.hpp"
#include "platform/sim/machine_config.hpp"
#include "platform/sim/process_table.hpp"

namespace platform::sim {
namespace {

constexpr std::uint32_t kUnknownSpeed = 1000;  // when the host does not tell its speed

struct StartingProcess {
  ProcessId id = 0;
  std::string path;
  bool hasModule = true;
  bool canOpen = true;
  std::string windowTitle;  // empty: no window
  bool honoursClose = true;
};

// A version record whose service-pack text is a literal, so that the profiles are a constant
// table.
struct ProfileVersion {
  std::uint32_t platformId, major, minor, build;
  std::string_view servicePack;

  VersionRecord Record() const {
    return {platformId, major, minor, build, std::string(servicePack)};
  }
};

struct Profile {
  std::string_view name;
  ProfileVersion version;
  std::string_view productName;  // as the version keys of the registry name it
  std::string_view versionNumber;
  std::string_view windowsFolder, systemFolder, tempFolder;
  std::string_view startMenuPrograms;
  std::string_view fileSystem;  // of drive C:
  ScreenFacts screen;
};

const std::array<Profile, 4>& Profiles() {
  static constexpr std::array<Profile, 4> profiles = {{
      {"win95",
       {platform_id::Windows, 4, 0, 0x040003B6, ""},
       "Microsoft Windows 95",
       "4.00.950",
       "C:\\WINDOWS",
       "C:\\WINDOWS\\SYSTEM",
       "C:\\WINDOWS\\TEMP",
       "C:\\WINDOWS\\Start Menu\\Programs",
       "FAT",
       {800, 600, 8, 1}},
      {"win98",
       {platform_id::Windows, 4, 10, 0x040A07CE, ""},
       "Microsoft Windows 98",
       "4.10.1998",
       "C:\\WINDOWS",
       "C:\\WINDOWS\\SYSTEM",
       "C:\\WINDOWS\\TEMP",
       "C:\\WINDOWS\\Start Menu\\Programs",
       "FAT",
       {800, 600, 16, 1}},
      {"nt4",
       {platform_id::Nt, 4, 0, 1381, "Service Pack 6"},
       "Microsoft Windows NT",
       "4.0",
       "C:\\WINNT",
       "C:\\WINNT\\SYSTEM32",
       "C:\\TEMP",
       "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs",
       "NTFS",
       {800, 600, 16, 1}},
      {"win2000",
       {platform_id::Nt, 5, 0, 2195, ""},
       "Microsoft Windows 2000",
       "5.0",
       "C:\\WINNT",
       "C:\\WINNT\\SYSTEM32",
       "C:\\TEMP",
       "C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
       "NTFS",
       {1024, 768, 32, 1}},
  }};
  return profiles;
}

const Profile& FindProfile(std::string_view name) {
  for (const auto& profile : Profiles())
    if (profile.name == name) return profile;
  throw Exception("Unknown machine profile \"" + std::string(name) +
                  "\" (known: win95, win98, nt4, win2000)");
}

bool NtFamily(const Profile& profile) {
  return profile.version.platformId == platform_id::Nt;
}

MachineConfig ConfigOf(const Profile& profile) {
  MachineConfig config;
  config.profile = std::string(profile.name);
  config.version = profile.version.Record();
  config.windowsFolder = profile.windowsFolder;
  config.systemFolder = profile.systemFolder;
  config.tempFolder = profile.tempFolder;
  config.hostName = "korvane-pc";
  config.hostAddress = std::array<std::uint8_t, 4>{192, 168, 0, 10};
  config.screen = profile.screen;
  config.processor = HostProcessorFacts();
  if (config.processor.megahertz == 0) config.processor.megahertz = kUnknownSpeed;
  config.drives = {{'C', DriveKind::Fixed, std::string(profile.fileSystem)},
                   {'D', DriveKind::CdRom, "CDFS"}};
  config.clockStart = LocalTime{2001, 6, 5, 15, 9, 30, 0, 0};
  const std::string windows(profile.windowsFolder), system(profile.systemFolder),
      temp(profile.tempFolder);
  if (NtFamily(profile)) {
    config.environment = {{"ComSpec", system + "\\cmd.exe"},
                          {"COMPUTERNAME", config.computerName},
                          {"OS", "Windows_NT"},
                          {"Path", system + ";" + windows},
                          {"PROCESSOR_ARCHITECTURE", "x86"},
                          {"SystemDrive", "C:"},
                          {"SystemRoot", windows},
                          {"TEMP", temp},
                          {"TMP", temp},
                          {"USERNAME", config.userName},
                          {"windir", windows}};
  } else {
    config.environment = {{"COMSPEC", windows + "\\COMMAND.COM"},
                          {"PATH", windows + ";" + windows + "\\COMMAND"},
                          {"PROMPT", "$p$g"},
                          {"TEMP", temp},
                          {"TMP", temp},
                          {"winbootdir", windows},
                          {"windir", windows}};
  }
  return config;
}

std::vector<StartingProcess> ProcessesOf(const Profile& profile) {
  const std::string windows(profile.windowsFolder), system(profile.systemFolder);
  if (!NtFamily(profile)) {
    return {{0x104, system + "\\KERNEL32.DLL", true, true, "", true},
            {0x108, system + "\\MSGSRV32.EXE", true, true, "", true},
            {0x10C, system + "\\MPREXE.EXE", true, true, "", true},
            {0x110, windows + "\\EXPLORER.EXE", true, true, "Program Manager", false},
            {0x114, system + "\\SYSTRAY.EXE", true, true, "SysTray", true}};
  }
  // The System process is id 2 on NT 4.0 and id 8 on Windows 2000.
  const ProcessId systemId = profile.version.major >= 5 ? 8 : 2;
  return {{0, "[System Process]", false, false, "", true},
          {systemId, "System", false, true, "", true},
          {0x8C, system + "\\smss.exe", true, true, "", true},
          {0xA4, system + "\\csrss.exe", true, false, "", true},
          {0xB8, system + "\\winlogon.exe", true, true, "", true},
          {0xD4, system + "\\services.exe", true, true, "", true},
          {0xE0, system + "\\lsass.exe", true, true, "", true},
          {0x1A8, windows + "\\Explorer.EXE", true, true, "Program Manager", false}};
}

ProcessTable TableOf(const Profile& profile) {
  ProcessTable table;
  WindowHandle window = 0x10014;
  for (const auto& starting : ProcessesOf(profile)) {
    SimProcess process;
    process.id = starting.id;
    process.path = starting.path;
    process.hasModule = starting.hasModule;
    process.moduleName = starting.hasModule ? std::string(PathFileName(starting.path)) : "";
    process.access = starting.canOpen ? process_access::AllAccess : 0;
    if (!starting.windowTitle.empty()) {
      process.windows.push_back({window, starting.windowTitle, starting.honoursClose});
      window += 0x10;
    }
    table.processes.push_back(std::move(process));
  }
  return table;
}

// ---- registry of a fresh installation ----

class RegistryBuilder {
 public:
  RegistryBuilder(KeyHandle root, std::string path) : root_(root), path_(std::move(path)) {}

  RegistryBuilder& Text(std::string_view name, std::string_view text) {
    return Set(name, ValueType::String, StringData(text));
  }
  RegistryBuilder& Dword(std::string_view name, std::uint32_t value) {
    return Set(name, ValueType::Dword, DwordData(value));
  }
  void ApplyTo(Registry& registry) const {
    KeyHandle key = 0;
    if (registry.CreateKey(root_, path_, key_access::AllAccess, key) != win_error::Success)
      throw Exception("Cannot create the registry key " + path_);
    for (const auto& [name, type, data] : values_)
      registry.SetValue(key, name, type, data);
    registry.CloseKey(key);
  }

 private:
  RegistryBuilder& Set(std::string_view name, ValueType type, std::vector<std::uint8_t> data) {
    values_.push_back({std::string(name), type, std::move(data)});
    return *this;
  }
  struct Entry {
    std::string name;
    ValueType type{};
    std::vector<std::uint8_t> data;
  };
  KeyHandle root_;
  std::string path_;
  std::vector<Entry> values_;
};

std::vector<RegistryBuilder> RegistryOf(const Profile& profile, const MachineConfig& config) {
  const std::string currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
  std::vector<RegistryBuilder> keys;
  keys.emplace_back(hkey::LocalMachine, currentVersion)
      .Text("ProgramFilesDir", "C:\\Program Files")
      .Text("CommonFilesDir", "C:\\Program Files\\Common Files")
      .Text("SystemRoot", profile.windowsFolder)
      .Text("ProductName", profile.productName)
      .Text("VersionNumber", profile.versionNumber);
  keys.emplace_back(hkey::LocalMachine, currentVersion + "\\Run");
  keys.emplace_back(hkey::LocalMachine, currentVersion + "\\RunOnce");
  keys.emplace_back(hkey::LocalMachine, "Software\\Classes\\.exe").Text("", "exefile");
  keys.emplace_back(hkey::LocalMachine, "Software\\Classes\\.txt").Text("", "txtfile");
  keys.emplace_back(hkey::LocalMachine,
                    "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
      .Text("ComputerName", config.computerName);
  if (NtFamily(profile)) {
    keys.emplace_back(hkey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion")
        .Text("CurrentVersion", profile.versionNumber)
        .Text("CurrentBuildNumber", std::to_string(profile.version.build))
        .Text("CSDVersion", profile.version.servicePack)
        .Text("ProductName", profile.productName)
        .Text("SystemRoot", profile.windowsFolder);
  }
  keys.emplace_back(hkey::ClassesRoot, ".exe").Text("", "exefile");
  keys.emplace_back(hkey::ClassesRoot, ".txt").Text("", "txtfile");
  keys.emplace_back(hkey::CurrentUser, currentVersion + "\\Internet Settings")
      .Dword("MigrateProxy", 1)
      .Dword("ProxyEnable", 0)
      .Dword("ProxyHttp1.1", 0)
      .Dword("EnableHttp1_1", 1);
  keys.emplace_back(hkey::CurrentUser, currentVersion + "\\Run");
  keys.emplace_back(hkey::CurrentUser, "Control Panel\\International")
      .Text("sShortDate", config.shortDateFormat)
      .Text("sDecimal", std::string(1, config.decimalSeparator));
  keys.emplace_back(hkey::Users, ".DEFAULT\\Control Panel\\International")
      .Text("sShortDate", config.shortDateFormat)
      .Text("sDecimal", std::string(1, config.decimalSeparator));
  return keys;
}

// ---- files ----

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  WriteHostText(path, text);
}

// The host place of a Windows path on drive C: of the machine being made.
std::filesystem::path OnDriveC(const std::filesystem::path& folder, std::string_view windowsPath) {
  std::filesystem::path host = folder / "drives" / "C";
  std::string_view rest = windowsPath.substr(3);  // after "C:\"
  while (!rest.empty()) {
    const auto slash = rest.find('\\');
    host /= std::string(rest.substr(0, slash));
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return host;
}

void MakeDriveC(const std::filesystem::path& folder, const Profile& profile,
                const ProcessTable& table) {
  for (std::string_view place :
       {profile.windowsFolder, profile.systemFolder, profile.tempFolder, profile.startMenuPrograms,
        std::string_view("C:\\Program Files\\Common Files")})
    std::filesystem::create_directories(OnDriveC(folder, place));
  // The executables of the running processes, so that the shell finds them and a copy onto
  // one of them meets a running program.
  const std::string program("MZ\x90\0\x03\0\0\0", 8);
  for (const auto& process : table.processes)
    if (process.path.size() > 3 && process.path[1] == ':')
      WriteFile(OnDriveC(folder, process.path), program);
  if (NtFamily(profile) && profile.version.major >= 5)
    WriteFile(OnDriveC(folder, std::string(profile.systemFolder) + "\\psapi.dll"), program);
}

void RemoveEarlierMachine(const std::filesystem::path& folder) {
  for (const char* part : {"drives", "registry", "machine.ini", "processes.ini", "security.ini"})
    std::filesystem::remove_all(folder / part);
}

}  // namespace

const std::vector<std::string_view>& ProfileNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> result;
    for (const auto& profile : Profiles())
      result.push_back(profile.name);
    return result;
  }();
  return names;
}

bool KnownProfile(std::string_view profile) {
  for (const auto& known : Profiles())
    if (known.name == profile) return true;
  return false;
}

std::string_view StartMenuProgramsFolder(std::string_view profile) {
  return FindProfile(profile).startMenuPrograms;
}

void MakeMachine(const std::filesystem::path& folder, std::string_view profileName,
                 const SecurityChoices& security) {
  const Profile& profile = FindProfile(profileName);
  try {
    std::filesystem::create_directories(folder);
    RemoveEarlierMachine(folder);
    const MachineConfig config = ConfigOf(profile);
    const ProcessTable table = TableOf(profile);
    MakeDriveC(folder, profile, table);
    MemoryRegistry registry(config.ansiCodePage);
    for (const auto& key : RegistryOf(profile, config))
      key.ApplyTo(registry);
    for (KeyHandle root : {hkey::LocalMachine, hkey::CurrentUser, hkey::Users, hkey::ClassesRoot})
      WriteFile(folder / "registry" / (std::string(RootKeyName(root)) + ".reg"),
                ExportRegistryRoot(registry, root));
    WriteFile(folder / "processes.ini", WriteProcessesIni(table));
    WriteFile(folder / "machine.ini", WriteMachineIni(config));
    if (config.NtFamily())
      WriteFile(folder / "security.ini", WriteSecurityIni(DefaultSecurity(config, security)));
  } catch (const std::filesystem::filesystem_error& error) {
    throw Exception("Cannot make the machine in " + folder.string() + ": " +
                    error.code().message());
  }
}

}  // namespace platform::sim
