#include "platform/file_system.hpp"

namespace platform {

bool FileSystem::Exists(std::string_view path) {
  std::uint32_t attributes = file_attribute::Invalid;
  return Attributes(path, attributes) == win_error::Success &&
         attributes != file_attribute::Invalid;
}

}  // namespace platform
