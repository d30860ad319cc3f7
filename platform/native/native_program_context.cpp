#include "platform/native/native_program_context.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/ini_file.hpp"
#include "platform/native/host_errors.hpp"

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
  return ReadIniFileSection(files_, path, section);
}

}  // namespace platform
