#include "platform/native/host_attributes.hpp"

#include "platform/native/host_file_time.hpp"

namespace platform {

std::uint32_t AttributesFromHost(const struct stat& status) {
  if (S_ISDIR(status.st_mode)) return file_attribute::Directory;
  std::uint32_t attributes = file_attribute::Archive;
  if ((status.st_mode & S_IWUSR) == 0) attributes |= file_attribute::ReadOnly;
  return attributes;
}

FindData FindDataFromHost(const std::string& name, const struct stat& status) {
  FindData data;
  data.name = name;
  data.attributes = AttributesFromHost(status);
  data.size = S_ISDIR(status.st_mode) ? 0 : static_cast<std::uint64_t>(status.st_size);
  data.lastWriteTime = FileTimeFromHost(status.st_mtim);
  return data;
}

}  // namespace platform
