#pragma once
// The directory alias list read from "xbase.cfg" in the Windows folder (section "Alias",
// entries name=directory). Entry 0 is always "Default Directory".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

class XbAliasList {
 public:
  XbAliasList();
  // Reads section "Alias" of "xbase.cfg" in the Windows folder; a missing file or section
  // adds nothing. Every entry after the first is upper-cased whole.
  void Load();
  // The directory of an alias, names compared without regard to case.
  std::optional<std::string> Directory(std::string_view alias) const;
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  void Set(const std::string& name, const std::string& directory);
  std::vector<std::string> entries_;
};

// The process-wide alias list (loaded when the engine starts, see XbEngine).
XbAliasList& XbAliases();

}  // namespace tables
