#include "platform/sim/machine_config.hpp"

#include <cstdio>
#include <functional>

#include "platform/exception.hpp"
#include "platform/ini_text.hpp"

namespace platform::sim {
namespace {

constexpr std::string_view kComment =
    "A simulated Windows machine. Edit freely: numbers may be decimal or 0x hexadecimal,\n"
    "switches are yes or no. Drives: LETTER=fixed|cdrom,FAT|NTFS|CDFS; their files are in\n"
    "drives/<LETTER>. Clock: Mode=real|virtual, Start=yyyy-mm-dd hh:mm:ss (virtual only).";

class Reader {
 public:
  explicit Reader(std::string_view source) : source_(source) {}

  [[noreturn]] void Fail(const IniEntry& entry, const std::string& message) const {
    throw Exception(std::string(source_) + ", line " + std::to_string(entry.line) + ": " + message);
  }

  std::uint32_t Number(const IniEntry& entry) const {
    const std::optional<std::uint32_t> value = ParseIniNumber(entry.value);
    if (!value) Fail(entry, "\"" + entry.key + "\" needs a number, not \"" + entry.value + "\"");
    return *value;
  }

  bool Switch(const IniEntry& entry) const {
    if (SameIniName(entry.value, "yes") || SameIniName(entry.value, "true") || entry.value == "1")
      return true;
    if (SameIniName(entry.value, "no") || SameIniName(entry.value, "false") || entry.value == "0")
      return false;
    Fail(entry, "\"" + entry.key + "\" needs yes or no, not \"" + entry.value + "\"");
  }

  std::array<std::uint8_t, 4> Address(const IniEntry& entry) const {
    unsigned parts[4];
    char tail = 0;
    if (std::sscanf(entry.value.c_str(), "%u.%u.%u.%u%c", &parts[0], &parts[1], &parts[2],
                    &parts[3], &tail) != 4 ||
        parts[0] > 255 || parts[1] > 255 || parts[2] > 255 || parts[3] > 255)
      Fail(entry, "\"" + entry.key + "\" needs an address such as 192.168.0.10 or none");
    return {static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
            static_cast<std::uint8_t>(parts[2]), static_cast<std::uint8_t>(parts[3])};
  }

  LocalTime Time(const IniEntry& entry) const {
    LocalTime time;
    char tail = 0;
    if (std::sscanf(entry.value.c_str(), "%d-%d-%d %d:%d:%d%c", &time.year, &time.month, &time.day,
                    &time.hour, &time.minute, &time.second, &tail) != 6)
      Fail(entry, "\"" + entry.key + "\" needs a time such as 2001-06-15 09:30:00");
    try {
      return FileTimeToLocal(LocalToFileTime(time));  // checks the date and fills the weekday
    } catch (const ERangeError&) {
      Fail(entry, "\"" + entry.value + "\" is not a valid date and time");
    }
  }

  DriveConfig Drive(const IniEntry& entry) const {
    DriveConfig drive;
    const char letter = entry.key.size() == 1 ? entry.key[0] : 0;
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
      Fail(entry, "a drive entry needs a drive letter, not \"" + entry.key + "\"");
    drive.letter = static_cast<char>(letter & ~0x20);
    const auto comma = entry.value.find(',');
    const std::string kind = entry.value.substr(0, comma);
    if (SameIniName(kind, "fixed"))
      drive.kind = DriveKind::Fixed;
    else if (SameIniName(kind, "cdrom"))
      drive.kind = DriveKind::CdRom;
    else
      Fail(entry, "drive " + entry.key + " needs the kind fixed or cdrom");
    drive.fileSystem = comma == std::string::npos ? "" : entry.value.substr(comma + 1);
    if (drive.fileSystem != "FAT" && drive.fileSystem != "NTFS" && drive.fileSystem != "CDFS")
      Fail(entry, "drive " + entry.key + " needs the file system FAT, NTFS or CDFS");
    return drive;
  }

 private:
  std::string_view source_;
};

using Handler = std::function<void(const IniEntry&)>;
struct Field {
  std::string_view key;
  Handler read;
  bool required = false;
};

void ReadSection(const IniSection& section, const std::vector<Field>& fields, const Reader& reader,
                 std::string_view source) {
  for (const auto& entry : section.entries) {
    const Field* field = nullptr;
    for (const auto& candidate : fields)
      if (SameIniName(candidate.key, entry.key)) field = &candidate;
    if (!field) reader.Fail(entry, "unknown entry \"" + entry.key + "\" in [" + section.name + "]");
    field->read(entry);
  }
  for (const auto& field : fields)
    if (field.required && !section.Find(field.key))
      throw Exception(std::string(source) + ": [" + section.name + "] has no \"" +
                      std::string(field.key) + "\" entry");
}

std::string YesNo(bool value) {
  return value ? "yes" : "no";
}

std::string TimeText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

}  // namespace

MachineConfig ParseMachineIni(std::string_view text, std::string_view source) {
  const IniDocument document = ParseIni(text, source);
  const Reader reader(source);
  MachineConfig config;
  auto text_ = [](std::string& target) {
    return [&target](const IniEntry& e) { target = e.value; };
  };
  auto number = [&](std::uint32_t& target) {
    return [&reader, &target](const IniEntry& e) { target = reader.Number(e); };
  };
  auto integer = [&](int& target) {
    return [&reader, &target](const IniEntry& e) { target = static_cast<int>(reader.Number(e)); };
  };
  const std::vector<Field> machine = {
      {"Profile", text_(config.profile)},
      {"PlatformId", number(config.version.platformId), true},
      {"MajorVersion", number(config.version.major), true},
      {"MinorVersion", number(config.version.minor), true},
      {"Build", number(config.version.build), true},
      {"ServicePack", text_(config.version.servicePack)},
      {"WindowsFolder", text_(config.windowsFolder), true},
      {"SystemFolder", text_(config.systemFolder), true},
      {"TempFolder", text_(config.tempFolder), true},
      {"ComputerName", text_(config.computerName)},
      {"UserName", text_(config.userName)},
      {"AnsiCodePage", number(config.ansiCodePage)},
      {"OemCodePage", number(config.oemCodePage)},
      {"ShortDateFormat", text_(config.shortDateFormat)},
      {"DecimalSeparator",
       [&](const IniEntry& e) {
         if (e.value.size() != 1) reader.Fail(e, "\"DecimalSeparator\" needs one character");
         config.decimalSeparator = e.value[0];
       }},
      {"HostName", text_(config.hostName)},
      {"HostAddress",
       [&](const IniEntry& e) {
         if (SameIniName(e.value, "none"))
           config.hostAddress.reset();
         else
           config.hostAddress = reader.Address(e);
       }},
      {"StartupShowMode", integer(config.startupShowMode)},
  };
  const std::vector<Field> screen = {
      {"Width", integer(config.screen.width)},
      {"Height", integer(config.screen.height)},
      {"BitsPerPixel", integer(config.screen.bitsPerPixel)},
      {"Planes", integer(config.screen.planes)},
  };
  const std::vector<Field> processor = {
      {"HasIdentification",
       [&](const IniEntry& e) { config.processor.hasIdentification = reader.Switch(e); }},
      {"Signature", number(config.processor.signature)},
      {"Features", number(config.processor.features)},
      {"Vendor", text_(config.processor.vendor)},
      {"ProcessorType", number(config.processor.processorType)},
      {"Megahertz", number(config.processor.megahertz)},
  };
  const std::vector<Field> clock = {
      {"Mode",
       [&](const IniEntry& e) {
         if (SameIniName(e.value, "real"))
           config.virtualClock = false;
         else if (SameIniName(e.value, "virtual"))
           config.virtualClock = true;
         else
           reader.Fail(e, "\"Mode\" needs real or virtual");
       }},
      {"Start", [&](const IniEntry& e) { config.clockStart = reader.Time(e); }},
  };

  for (const auto& section : document.sections) {
    if (SameIniName(section.name, "Machine")) {
      ReadSection(section, machine, reader, source);
    } else if (SameIniName(section.name, "Screen")) {
      ReadSection(section, screen, reader, source);
    } else if (SameIniName(section.name, "Processor")) {
      ReadSection(section, processor, reader, source);
    } else if (SameIniName(section.name, "Clock")) {
      ReadSection(section, clock, reader, source);
    } else if (SameIniName(section.name, "Drives")) {
      for (const auto& entry : section.entries)
        config.drives.push_back(reader.Drive(entry));
    } else if (SameIniName(section.name, "Environment")) {
      for (const auto& entry : section.entries)
        config.environment.emplace_back(entry.key, entry.value);
    } else {
      throw Exception(std::string(source) + ", line " + std::to_string(section.line) +
                      ": unknown section [" + section.name + "]");
    }
  }
  if (!document.Find("Machine"))
    throw Exception(std::string(source) + ": the file has no [Machine] section");
  if (config.drives.empty())
    throw Exception(std::string(source) + ": the file names no drive in [Drives]");
  return config;
}

std::string WriteMachineIni(const MachineConfig& config) {
  IniDocument document;
  IniSection& machine = document.AddSection("Machine");
  machine.Add("Profile", config.profile);
  machine.Add("PlatformId", std::to_string(config.version.platformId));
  machine.Add("MajorVersion", std::to_string(config.version.major));
  machine.Add("MinorVersion", std::to_string(config.version.minor));
  machine.Add("Build", config.version.build > 0xFFFF ? IniHex(config.version.build)
                                                     : std::to_string(config.version.build));
  machine.Add("ServicePack", config.version.servicePack);
  machine.Add("WindowsFolder", config.windowsFolder);
  machine.Add("SystemFolder", config.systemFolder);
  machine.Add("TempFolder", config.tempFolder);
  machine.Add("ComputerName", config.computerName);
  machine.Add("UserName", config.userName);
  machine.Add("AnsiCodePage", std::to_string(config.ansiCodePage));
  machine.Add("OemCodePage", std::to_string(config.oemCodePage));
  machine.Add("ShortDateFormat", config.shortDateFormat);
  machine.Add("DecimalSeparator", std::string(1, config.decimalSeparator));
  machine.Add("HostName", config.hostName);
  if (config.hostAddress) {
    const auto& a = *config.hostAddress;
    machine.Add("HostAddress", std::to_string(a[0]) + "." + std::to_string(a[1]) + "." +
                                   std::to_string(a[2]) + "." + std::to_string(a[3]));
  } else {
    machine.Add("HostAddress", "none");
  }
  machine.Add("StartupShowMode", std::to_string(config.startupShowMode));

  IniSection& screen = document.AddSection("Screen");
  screen.Add("Width", std::to_string(config.screen.width));
  screen.Add("Height", std::to_string(config.screen.height));
  screen.Add("BitsPerPixel", std::to_string(config.screen.bitsPerPixel));
  screen.Add("Planes", std::to_string(config.screen.planes));

  IniSection& processor = document.AddSection("Processor");
  processor.Add("HasIdentification", YesNo(config.processor.hasIdentification));
  processor.Add("Signature", IniHex(config.processor.signature));
  processor.Add("Features", IniHex(config.processor.features));
  processor.Add("Vendor", config.processor.vendor);
  processor.Add("ProcessorType", std::to_string(config.processor.processorType));
  processor.Add("Megahertz", std::to_string(config.processor.megahertz));

  IniSection& drives = document.AddSection("Drives");
  for (const auto& drive : config.drives)
    drives.Add(
        std::string(1, drive.letter),
        std::string(drive.kind == DriveKind::CdRom ? "cdrom" : "fixed") + "," + drive.fileSystem);

  IniSection& environment = document.AddSection("Environment");
  for (const auto& [name, value] : config.environment)
    environment.Add(name, value);

  IniSection& clock = document.AddSection("Clock");
  clock.Add("Mode", config.virtualClock ? "virtual" : "real");
  if (config.clockStart) clock.Add("Start", TimeText(*config.clockStart));
  return document.Write(kComment);
}

}  // namespace platform::sim
