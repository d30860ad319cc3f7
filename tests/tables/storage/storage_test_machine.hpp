#pragma once
// A fresh simulated Windows 98 machine in a temporary host folder, with a virtual clock, made
// the current machine for the lifetime of a test; the engine runs meanwhile. Tables go to
// C:\DATA.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_machine.hpp"
#include "platform/virtual_clock.hpp"
#include "tables/storage/engine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace tables::testing {

class StorageTestMachine {
 public:
  StorageTestMachine();
  StorageTestMachine(const StorageTestMachine&) = delete;
  StorageTestMachine& operator=(const StorageTestMachine&) = delete;

  platform::Machine& machine() { return *machine_; }
  platform::VirtualClock& clock();
  // "C:\DATA\" + name.
  static std::string Path(std::string_view name);
  std::filesystem::path HostPath(std::string_view windowsPath);
  std::vector<std::uint8_t> ReadBytes(std::string_view windowsPath);
  void WriteBytes(std::string_view windowsPath, const std::vector<std::uint8_t>& bytes);
  // Copies a file of the peer fixtures to C:\DATA under its own name.
  void CopyFixture(std::string_view fileName);

 private:
  platform::testing::TempFolder folder_;  // the last to go
  std::unique_ptr<platform::sim::SimMachine> machine_;
  std::unique_ptr<platform::ScopedMachine> installed_;
  std::unique_ptr<XbEngineScope> engine_;
};

}  // namespace tables::testing
