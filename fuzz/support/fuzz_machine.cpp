#include "fuzz/support/fuzz_machine.hpp"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace fuzz {
namespace {

std::filesystem::path ScratchFolder() {
  const std::filesystem::path memory("/dev/shm");
  const std::filesystem::path base =
      std::filesystem::is_directory(memory) ? memory : std::filesystem::temp_directory_path();
  std::filesystem::path folder = base / ("korvane-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

FuzzMachine& FuzzMachine::Get() {
  static FuzzMachine machine;
  return machine;
}

FuzzMachine::FuzzMachine() : folder_(ScratchFolder()) {}

FuzzMachine::~FuzzMachine() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string FuzzMachine::Path(std::string_view name) const {
  return (folder_ / name).string();
}

std::string FuzzMachine::Write(std::string_view name, const std::uint8_t* data,
                               std::size_t size) const {
  const std::string path = Path(name);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
  return path;
}

void FuzzMachine::Remove(std::string_view name) const {
  std::filesystem::remove(Path(name));
}

}  // namespace fuzz
