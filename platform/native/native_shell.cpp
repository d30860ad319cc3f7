#include "platform/native/native_shell.hpp"

#include "platform/native/shell_link_format.hpp"

namespace platform {

ErrorCode NativeShell::SaveLink(const ShellLinkData& link, std::string_view linkFile) {
  return SaveShellLink(files_, link, linkFile);
}

}  // namespace platform
