#include "platform/native/native_shell.hpp"

#include <memory>
#include <vector>

#include "platform/exception.hpp"
#include "platform/native/shell_link_format.hpp"

namespace platform {

ErrorCode NativeShell::SaveLink(const ShellLinkData& link, std::string_view linkFile) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ShellLinkBytes(link);
  } catch (const Exception&) {
    return win_error::InvalidParameter;
  }
  std::unique_ptr<File> file;
  const ErrorCode result = files_.Open(linkFile, file_access::GenericWrite, file_share::None,
                                       Disposition::CreateAlways, file);
  if (result != win_error::Success) return result;
  std::uint32_t written = 0;
  return file->WriteAt(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
}

}  // namespace platform
