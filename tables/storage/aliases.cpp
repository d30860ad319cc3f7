#include "tables/storage/aliases.hpp"

#include "platform/path_parts.hpp"

namespace tables {
namespace {

std::string NameOf(const std::string& entry) {
  return entry.substr(0, entry.find('='));
}

}  // namespace

XbAliasList::XbAliasList() : entries_{"Default Directory"} {}

std::string XbAliasList::Upper(std::string_view text) const {
  // Only loaded entries are ever compared, so a list that was never loaded needs no casing.
  return casing_ ? casing_->Upper(text) : std::string(text);
}

void XbAliasList::Load(platform::Machine& machine) {
  entries_.assign(1, "Default Directory");
  casing_ = &machine.codePages();
  platform::ProgramContext& program = machine.program();
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
