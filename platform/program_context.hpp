#pragma once
// What a running program knows of itself: its own path, the current folder, the Windows,
// system and temporary folders, and INI files.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win_types.hpp"

namespace platform {

class ProgramContext {
 public:
  virtual ~ProgramContext() = default;
  virtual std::string ModulePath() = 0;     // GetModuleFileName(0)
  virtual std::string CurrentFolder() = 0;  // without trailing backslash (but "C:\")
  virtual ErrorCode SetCurrentFolder(std::string_view path) = 0;
  virtual std::string WindowsFolder() = 0;  // GetWindowsDirectory
  virtual std::string SystemFolder() = 0;   // GetSystemDirectory
  virtual std::string TempFolder() = 0;     // GetTempPath: with a trailing backslash
  // GetPrivateProfileSection: the key=value pairs of a section, in file order; empty when the
  // file or the section is missing. Section names compare without regard to case.
  virtual std::vector<std::pair<std::string, std::string>> ReadIniSection(
      std::string_view file, std::string_view section) = 0;
};

}  // namespace platform
