#include "tables/storage/aliases.hpp"

#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace tables {
namespace {

std::string Upper(std::string_view text) {
  return platform::CurrentMachine().codePages().Upper(text);
}

std::string NameOf(const std::string& entry) {
  return entry.substr(0, entry.find('='));
}

}  // namespace

XbAliasList::XbAliasList() : entries_{"Default Directory"} {}

void XbAliasList::Load() {
  entries_.assign(1, "Default Directory");
  platform::ProgramContext& program = platform::CurrentMachine().program();
  std::string windows = program.WindowsFolder();
  for (const auto& [name, directory] :
       program.ReadIniSection(platform::PathJoin(windows, "xbase.cfg"), "Alias")) {
    Set(name, directory);
  }
  for (std::size_t i = 1; i < entries_.size(); ++i)
    entries_[i] = Upper(entries_[i]);
}

void XbAliasList::Set(const std::string& name, const std::string& directory) {
  std::string key = Upper(name);
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    if (Upper(NameOf(entries_[i])) == key) {
      entries_[i] = NameOf(entries_[i]) + "=" + directory;
      return;
    }
  }
  entries_.push_back(name + "=" + directory);
}

std::optional<std::string> XbAliasList::Directory(std::string_view alias) const {
  std::string key = Upper(alias);
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    const std::string& entry = entries_[i];
    if (Upper(NameOf(entry)) == key) return entry.substr(entry.find('=') + 1);
  }
  return std::nullopt;
}

}  // namespace tables
