#include "platform/sim/sim_program_context.hpp"

#include "platform/sim/ini_text.hpp"

namespace platform::sim {
namespace {

// Reads a whole file through a platform file system; false when it cannot be read.
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

ErrorCode SimProgramContext::SetCurrentFolder(std::string_view path) {
  std::string full;
  if (ErrorCode error = files_.FullPath(path, full)) return error;
  std::uint32_t attributes = file_attribute::Invalid;
  if (ErrorCode error = files_.Attributes(full, attributes)) return error;
  if (!(attributes & file_attribute::Directory)) return win_error::PathNotFound;
  if (full.size() > 3 && full.back() == '\\') full.pop_back();
  context_.currentFolder = full;
  return win_error::Success;
}

std::string SimProgramContext::TempFolder() {
  std::string folder = context_.tempFolder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::vector<std::pair<std::string, std::string>> SimProgramContext::ReadIniSection(
    std::string_view file, std::string_view section) {
  std::string path(file);
  if (path.find_first_of("\\/:") == std::string::npos) path = context_.windowsFolder + "\\" + path;
  std::string text;
  if (!ReadWholeFile(files_, path, text)) return {};
  const IniDocument document = ParseIniLenient(text);
  std::vector<std::pair<std::string, std::string>> pairs;
  if (const IniSection* found = document.Find(section))  // the first of that name, as Windows
    for (const auto& entry : found->entries)
      pairs.emplace_back(entry.key, entry.value);
  return pairs;
}

}  // namespace platform::sim
