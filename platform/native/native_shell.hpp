#pragma once
// The shell of the native machine: link files are written in the .lnk format through the
// file system; nothing can be started, as there are no Windows programs to run.
#include "platform/file_system.hpp"
#include "platform/shell.hpp"

namespace platform {

class NativeShell final : public Shell {
 public:
  explicit NativeShell(FileSystem& files) : files_(files) {}

  // Writes the link file with SaveShellLink.
  ErrorCode SaveLink(const ShellLinkData& link, std::string_view linkFile) override;
  ErrorCode Execute(std::string_view, std::string_view, std::string_view, int) override {
    return win_error::NotSupported;
  }

 private:
  FileSystem& files_;
};

}  // namespace platform
