#include "tests/tables/storage/storage_test_machine.hpp"

#include <fstream>
#include <iterator>

#include "platform/sim/machine_profiles.hpp"

namespace tables::testing {

StorageTestMachine::StorageTestMachine() {
  platform::sim::MakeMachine(folder_.path(), "win98");
  platform::sim::SimOptions options;
  options.virtualClock = true;
  machine_ = platform::sim::SimMachine::Open(folder_.path(), options);
  installed_ = std::make_unique<platform::ScopedMachine>(*machine_);
  machine_->files().MakeFolder("C:\\DATA");
  engine_ = std::make_unique<XbEngineScope>();
}

platform::VirtualClock& StorageTestMachine::clock() {
  return dynamic_cast<platform::VirtualClock&>(machine_->clock());
}

std::string StorageTestMachine::Path(std::string_view name) {
  return "C:\\DATA\\" + std::string(name);
}

std::filesystem::path StorageTestMachine::HostPath(std::string_view windowsPath) {
  return machine_->files().HostPath(windowsPath);
}

std::vector<std::uint8_t> StorageTestMachine::ReadBytes(std::string_view windowsPath) {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void StorageTestMachine::WriteBytes(std::string_view windowsPath,
                                    const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(HostPath(windowsPath), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void StorageTestMachine::CopyFixture(std::string_view fileName) {
  std::filesystem::copy_file(std::filesystem::path(KORVANE_FIXTURES_DIR) / fileName,
                             HostPath(Path(fileName)),
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace tables::testing
