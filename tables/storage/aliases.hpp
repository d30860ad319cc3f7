#pragma once
// The directory alias list read from "xbase.cfg" in the Windows folder (section "Alias",
// entries name=directory). Entry 0 is always "Default Directory".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.hpp"

namespace tables {

class XbAliasList {
 public:
  XbAliasList();
  // Reads section "Alias" of "xbase.cfg" in the machine's Windows folder; a missing file or
  // section adds nothing. Every entry after the first is upper-cased whole, and names are
  // compared with that machine's casing from then on.
  void Load(platform::Machine& machine);
  // The directory of an alias, names compared without regard to case.
  std::optional<std::string> Directory(std::string_view alias) const;
  // Adds name=directory (a name already present gets the new directory).
  void Add(const std::string& name, const std::string& directory) { Set(name, directory); }
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  void Set(const std::string& name, const std::string& directory);
  std::string Upper(std::string_view text) const;

  std::vector<std::string> entries_;
  platform::CodePages* casing_ = nullptr;
};

// The process-wide alias list (loaded when the engine starts, see XbEngine).
XbAliasList& XbAliases();

}  // namespace tables
