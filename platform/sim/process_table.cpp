#include "platform/sim/process_table.hpp"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/exception.hpp"
#include "platform/ini_text.hpp"
#include "platform/path_parts.hpp"

namespace platform::sim {
namespace {

constexpr std::string_view kComment =
    "Running processes of a simulated Windows machine, one [Process <id>] section each.\n"
    "Path: the executable. ModuleName: base name of its main module; empty for none\n"
    "(it then reads as \"System\"). Access: the rights OpenProcess grants (hex; CanOpen=yes\n"
    "or no is read as all or none). ExitDelay: ms it takes to exit once ended, or never;\n"
    "ExitsAt: while it exits, the machine time (FILETIME) at which it is gone.\n"
    "WindowN=<handle>,<honours close: yes|no>,<title>. SemaphoreN=<count>,<maximum>,<name>.\n"
    "HostProcess: the host process running a simulated program; the entry goes with it.\n"
    "[Messages]: registered window messages, name=number.";
constexpr std::string_view kProcessPrefix = "Process ";

class Reader {
 public:
  explicit Reader(std::string_view source) : source_(source) {}

  [[noreturn]] void Fail(int line, const std::string& message) const {
    throw Exception(std::string(source_) + ", line " + std::to_string(line) + ": " + message);
  }

  std::uint32_t Number(int line, std::string_view text) const {
    const std::optional<std::uint32_t> value = ParseIniNumber(text);
    if (!value) Fail(line, "a number expected, found \"" + std::string(text) + "\"");
    return *value;
  }

  FileTime Time(int line, std::string_view text) const {
    FileTime value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
      Fail(line, "a FILETIME number expected, found \"" + std::string(text) + "\"");
    return value;
  }

  std::uint32_t Delay(int line, std::string_view text) const {
    return SameIniName(text, "never") ? SimProcess::kNeverExits : Number(line, text);
  }

  bool Switch(int line, std::string_view text) const {
    if (SameIniName(text, "yes")) return true;
    if (SameIniName(text, "no")) return false;
    Fail(line, "yes or no expected, found \"" + std::string(text) + "\"");
  }

  // Splits "a,b,rest" into `count` fields, the last one taking the rest of the text.
  std::vector<std::string_view> Fields(const IniEntry& entry, std::size_t count) const {
    std::vector<std::string_view> fields;
    std::string_view text = entry.value;
    while (fields.size() + 1 < count) {
      const auto comma = text.find(',');
      if (comma == std::string_view::npos)
        Fail(entry.line, "\"" + entry.key + "\" needs " + std::to_string(count) + " fields");
      fields.push_back(text.substr(0, comma));
      text.remove_prefix(comma + 1);
    }
    fields.push_back(text);
    return fields;
  }

 private:
  std::string_view source_;
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameIniName(text.substr(0, prefix.size()), prefix);
}

SimProcess ReadProcess(const IniSection& section, const Reader& reader) {
  SimProcess process;
  process.id = reader.Number(section.line, section.name.substr(kProcessPrefix.size()));
  bool moduleGiven = false;
  for (const auto& entry : section.entries) {
    if (SameIniName(entry.key, "Path")) {
      process.path = entry.value;
    } else if (SameIniName(entry.key, "ModuleName")) {
      process.moduleName = entry.value;
      moduleGiven = true;
    } else if (SameIniName(entry.key, "CanOpen")) {
      process.access = reader.Switch(entry.line, entry.value) ? process_access::AllAccess : 0;
    } else if (SameIniName(entry.key, "Access")) {
      process.access = reader.Number(entry.line, entry.value);
    } else if (SameIniName(entry.key, "ExitDelay")) {
      process.exitDelay = reader.Delay(entry.line, entry.value);
    } else if (SameIniName(entry.key, "ExitsAt")) {
      process.exitsAt = reader.Time(entry.line, entry.value);
    } else if (SameIniName(entry.key, "HostProcess")) {
      process.hostProcess = static_cast<int>(reader.Number(entry.line, entry.value));
    } else if (StartsWithNoCase(entry.key, "Window")) {
      const auto fields = reader.Fields(entry, 3);
      process.windows.push_back({reader.Number(entry.line, fields[0]), std::string(fields[2]),
                                 reader.Switch(entry.line, fields[1])});
    } else if (StartsWithNoCase(entry.key, "Semaphore")) {
      const auto fields = reader.Fields(entry, 3);
      process.semaphores.push_back(
          {std::string(fields[2]), static_cast<std::int32_t>(reader.Number(entry.line, fields[0])),
           static_cast<std::int32_t>(reader.Number(entry.line, fields[1]))});
    } else {
      reader.Fail(entry.line, "unknown entry \"" + entry.key + "\" in [" + section.name + "]");
    }
  }
  if (process.path.empty()) reader.Fail(section.line, "[" + section.name + "] has no Path");
  if (!moduleGiven) process.moduleName = std::string(PathFileName(process.path));
  process.hasModule = !process.moduleName.empty();
  return process;
}

}  // namespace

SimProcess* ProcessTable::Find(ProcessId id) {
  for (auto& process : processes)
    if (process.id == id) return &process;
  return nullptr;
}

SimProcess* ProcessTable::OwnerOf(WindowHandle window) {
  for (auto& process : processes)
    for (const auto& w : process.windows)
      if (w.handle == window) return &process;
  return nullptr;
}

void ProcessTable::Remove(ProcessId id) {
  std::erase_if(processes, [id](const SimProcess& process) { return process.id == id; });
}

void ProcessTable::End(SimProcess& process, FileTime now) {
  if (process.exitDelay == 0) {
    Remove(process.id);
    return;
  }
  if (process.Exiting()) return;
  constexpr FileTime kTicksPerMillisecond = 10000;
  process.exitsAt = process.exitDelay == SimProcess::kNeverExits
                        ? std::numeric_limits<FileTime>::max()
                        : now + process.exitDelay * kTicksPerMillisecond;
}

void ProcessTable::RemoveExited(FileTime now) {
  std::erase_if(processes, [now](const SimProcess& process) {
    return process.exitsAt && *process.exitsAt <= now;
  });
}

ProcessId ProcessTable::NextId() const {
  ProcessId highest = 0x100;
  for (const auto& process : processes)
    highest = std::max(highest, process.id);
  return (highest & ~3u) + 4;
}

WindowHandle ProcessTable::NextWindowHandle() const {
  WindowHandle highest = 0x10000;
  for (const auto& process : processes)
    for (const auto& window : process.windows)
      highest = std::max(highest, window.handle);
  return highest + 4;
}

ProcessTable ParseProcessesIni(std::string_view text, std::string_view source) {
  const IniDocument document = ParseIni(text, source);
  const Reader reader(source);
  ProcessTable table;
  for (const auto& section : document.sections) {
    if (SameIniName(section.name, "Messages")) {
      for (const auto& entry : section.entries)
        table.messages.emplace_back(entry.key, reader.Number(entry.line, entry.value));
    } else if (StartsWithNoCase(section.name, kProcessPrefix)) {
      SimProcess process = ReadProcess(section, reader);
      if (table.Find(process.id))
        reader.Fail(section.line, "process " + std::to_string(process.id) + " appears twice");
      table.processes.push_back(std::move(process));
    } else {
      reader.Fail(section.line, "unknown section [" + section.name + "]");
    }
  }
  return table;
}

std::string WriteProcessesIni(const ProcessTable& table) {
  IniDocument document;
  for (const auto& process : table.processes) {
    IniSection& section =
        document.AddSection(std::string(kProcessPrefix) + std::to_string(process.id));
    section.Add("Path", process.path);
    section.Add("ModuleName", process.hasModule ? process.moduleName : "");
    section.Add("Access", IniHex(process.access));
    if (process.exitDelay == SimProcess::kNeverExits)
      section.Add("ExitDelay", "never");
    else if (process.exitDelay)
      section.Add("ExitDelay", std::to_string(process.exitDelay));
    if (process.exitsAt) section.Add("ExitsAt", std::to_string(*process.exitsAt));
    if (process.hostProcess) section.Add("HostProcess", std::to_string(process.hostProcess));
    for (std::size_t i = 0; i < process.windows.size(); ++i) {
      const auto& window = process.windows[i];
      section.Add(
          "Window" + std::to_string(i + 1),
          IniHex(window.handle) + "," + (window.honoursClose ? "yes" : "no") + "," + window.title);
    }
    for (std::size_t i = 0; i < process.semaphores.size(); ++i) {
      const auto& semaphore = process.semaphores[i];
      section.Add("Semaphore" + std::to_string(i + 1), std::to_string(semaphore.count) + "," +
                                                           std::to_string(semaphore.maximum) + "," +
                                                           semaphore.name);
    }
  }
  IniSection& messages = document.AddSection("Messages");
  for (const auto& [name, number] : table.messages)
    messages.Add(name, IniHex(number));
  return document.Write(kComment);
}

}  // namespace platform::sim
