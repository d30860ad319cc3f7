#pragma once
// Reads back what a shortcut (.lnk) file says, independently of the code that wrote it: the
// header's flags and show command, the local base path of its link information and its string
// data (description, relative path, working folder, arguments).
#include <cstdint>
#include <optional>
#include <string>

namespace app_test {

struct LinkContents {
  std::uint32_t flags = 0;
  std::uint32_t showCommand = 0;
  std::string localBasePath;
  std::string description;
  std::string relativePath;
  std::string workingFolder;
  std::string arguments;
};

// Nothing when the bytes are not a shell link.
std::optional<LinkContents> ReadLink(const std::string& bytes);

}  // namespace app_test
