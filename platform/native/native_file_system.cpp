#include "platform/native/native_file_system.hpp"

#include "platform/native/native_path_mapper.hpp"

namespace platform {

NativeFileSystem::NativeFileSystem() : HostFileSystem(std::make_unique<NativePathMapper>()) {}

}  // namespace platform
