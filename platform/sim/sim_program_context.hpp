#pragma once
// What the program running on a simulated machine knows of itself: its path, the current
// folder (kept in the machine's context, where the file system resolves relative paths),
// the Windows folders and INI files read through the machine's file system.
#include <string>

#include "platform/file_system.hpp"
#include "platform/program_context.hpp"
#include "platform/sim/sim_context.hpp"

namespace platform::sim {

class SimProgramContext : public ProgramContext {
 public:
  SimProgramContext(SimContext& context, FileSystem& files, std::string programPath)
      : context_(context), files_(files), programPath_(std::move(programPath)) {}

  std::string ModulePath() override { return programPath_; }
  std::string CurrentFolder() override { return context_.currentFolder; }
  // FileNotFound when the folder is missing, PathNotFound when the path names a file.
  ErrorCode SetCurrentFolder(std::string_view path) override;
  std::string WindowsFolder() override { return context_.windowsFolder; }
  std::string SystemFolder() override { return context_.systemFolder; }
  std::string TempFolder() override;
  // A file name without a folder is looked for in the Windows folder, as Windows does.
  std::vector<std::pair<std::string, std::string>> ReadIniSection(
      std::string_view file, std::string_view section) override;

 private:
  SimContext& context_;
  FileSystem& files_;
  std::string programPath_;
};

}  // namespace platform::sim
