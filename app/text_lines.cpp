#include "app/text_lines.hpp"

#include <memory>

#include "platform/exception.hpp"
#include "platform/machine.hpp"

namespace app {
namespace {

[[noreturn]] void CannotOpen(std::string_view path) {
  throw platform::Exception("Cannot open file \"" + std::string(path) + "\"");
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    char c = text[at];
    if (c != '\r' && c != '\n') {
      ++at;
      continue;
    }
    lines.emplace_back(text.substr(start, at - start));
    ++at;
    if (c == '\r' && at < text.size() && text[at] == '\n') ++at;
    start = at;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> LoadTextLines(std::string_view path) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  std::unique_ptr<platform::File> file;
  if (files.Open(path, platform::file_access::GenericRead, platform::file_share::ReadWrite,
                 platform::Disposition::OpenExisting, file) != platform::win_error::Success) {
    CannotOpen(path);
  }
  std::uint64_t size = 0;
  if (file->Size(size) != platform::win_error::Success || size > 0xFFFFFFFFu) CannotOpen(path);
  std::string text(static_cast<std::size_t>(size), '\0');
  std::uint32_t read = 0;
  if (size > 0 && file->ReadAt(0, text.data(), static_cast<std::uint32_t>(size), read) !=
                      platform::win_error::Success) {
    CannotOpen(path);
  }
  text.resize(read);
  return SplitLines(text);
}

}  // namespace app
