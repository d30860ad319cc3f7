#include "platform/native/native_program_context.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/native/host_errors.hpp"
#include "platform/native/ini_section.hpp"

namespace platform {
namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HostCurrentFolder() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// The whole contents of a file, or nothing when it cannot be read.
std::string ReadWholeFile(FileSystem& files, std::string_view path) {
  std::unique_ptr<File> file;
  if (files.Open(path, file_access::GenericRead, file_share::ReadWrite, Disposition::OpenExisting,
                 file) != win_error::Success) {
    return {};
  }
  std::uint64_t size = 0;
  if (file->Size(size) != win_error::Success) return {};
  std::string text(size, '\0');
  std::uint32_t read = 0;
  if (file->ReadAt(0, text.data(), static_cast<std::uint32_t>(size), read) != win_error::Success) {
    return {};
  }
  text.resize(read);
  return text;
}

}  // namespace

NativeProgramContext::NativeProgramContext(FileSystem& files)
    : files_(files), windowsFolder_(EnvironmentValue("WINDIR")) {
  if (windowsFolder_.empty()) windowsFolder_ = HostCurrentFolder();
}

std::string NativeProgramContext::ModulePath() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : "";
}

std::string NativeProgramContext::CurrentFolder() {
  return HostCurrentFolder();
}

ErrorCode NativeProgramContext::SetCurrentFolder(std::string_view path) {
  std::uint32_t attributes = 0;
  const ErrorCode result = files_.Attributes(path, attributes);
  if (result != win_error::Success) return result;
  if ((attributes & file_attribute::Directory) == 0) return win_error::PathNotFound;
  if (chdir(files_.HostPath(path).c_str()) != 0) return ErrorFromErrno(errno);
  return win_error::Success;
}

std::string NativeProgramContext::TempFolder() {
  std::string folder = EnvironmentValue("TMPDIR");
  if (folder.empty()) folder = "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::vector<std::pair<std::string, std::string>> NativeProgramContext::ReadIniSection(
    std::string_view file, std::string_view section) {
  const bool bareName = file.find_first_of("/\\") == std::string_view::npos;
  const std::string path = bareName ? windowsFolder_ + "/" + std::string(file) : std::string(file);
  return IniSectionEntries(ReadWholeFile(files_, path), section);
}

}  // namespace platform
