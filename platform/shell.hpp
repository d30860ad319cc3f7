#pragma once
// Shell links and program start (shell32).
#include <string>
#include <string_view>

#include "platform/win_types.hpp"

namespace platform {

struct ShellLinkData {  // what IShellLink is given before IPersistFile::Save
  std::string path;
  std::string arguments;
  std::string workingFolder;
  std::string description;
  int showCommand = show_mode::ShowNormal;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Writes a ".lnk" file in the Shell Link binary format.
  virtual ErrorCode SaveLink(const ShellLinkData& link, std::string_view linkFile) = 0;
  // ShellExecute(0, "open", file, parameters, folder, show): a program whose file exists
  // (as given, or found in the folder, the current, system or Windows folder) starts.
  virtual ErrorCode Execute(std::string_view file, std::string_view parameters,
                            std::string_view folder, int showCommand) = 0;
};

}  // namespace platform
