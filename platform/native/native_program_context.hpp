#pragma once
// What a program on the native machine knows of itself. Its Windows (and system) folder is
// $WINDIR when set, else the folder it was started in, so that "xbase.cfg" can lie next to
// a tool's working data.
#include <string>

#include "platform/file_system.hpp"
#include "platform/program_context.hpp"

namespace platform {

class NativeProgramContext final : public ProgramContext {
 public:
  explicit NativeProgramContext(FileSystem& files);

  std::string ModulePath() override;  // the host path of the running executable
  std::string CurrentFolder() override;
  // Found without regard to case. FileNotFound or PathNotFound when the folder is missing,
  // PathNotFound when the path names a file.
  ErrorCode SetCurrentFolder(std::string_view path) override;
  std::string WindowsFolder() override { return windowsFolder_; }
  std::string SystemFolder() override { return windowsFolder_; }
  std::string TempFolder() override;  // $TMPDIR or /tmp, with a trailing "/"
  // A file name without a folder is looked for in the Windows folder, as Windows does.
  std::vector<std::pair<std::string, std::string>> ReadIniSection(
      std::string_view file, std::string_view section) override;

 private:
  FileSystem& files_;
  std::string windowsFolder_;
};

}  // namespace platform
