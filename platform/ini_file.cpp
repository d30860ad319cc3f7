#include "platform/ini_file.hpp"

#include <memory>

#include "platform/ini_text.hpp"

namespace platform {
namespace {

// The whole contents of a file; false when it cannot be read.
bool ReadWholeFile(FileSystem& files, std::string_view path, std::string& text) {
  std::unique_ptr<File> file;
  if (files.Open(path, file_access::GenericRead, file_share::ReadWrite, Disposition::OpenExisting,
                 file) != win_error::Success)
    return false;
  std::uint64_t size = 0;
  if (file->Size(size) != win_error::Success) return false;
  text.resize(static_cast<std::size_t>(size));
  std::uint32_t read = 0;
  if (file->ReadAt(0, text.data(), static_cast<std::uint32_t>(size), read) != win_error::Success)
    return false;
  text.resize(read);
  return true;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ReadIniFileSection(FileSystem& files,
                                                                    std::string_view path,
                                                                    std::string_view section) {
  std::string text;
  if (!ReadWholeFile(files, path, text)) return {};
  return IniSectionEntries(text, section);
}

}  // namespace platform
