#pragma once
// A fresh simulated machine per test, opened as the setup program "C:\KVSETUP\SETUP.EXE" runs
// it (virtual clock), with helpers to set up and inspect its registry and files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace app_test {

inline constexpr std::string_view kSetupDir = "C:\\KVSETUP";

class SimMachineTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Makes a machine of the profile ("win98", "nt4", ...) and opens it; with a setup folder
  // filled by mkdist unless told otherwise.
  void MakeMachine(std::string_view profile, bool withSetupFolder = true,
                   const platform::sim::SecurityChoices& security = {});
  // Saves and closes the machine (nothing is current afterwards).
  void CloseMachine();
  // Opens the machine again as the setup program.
  void OpenMachine();

  platform::sim::SimMachine& Machine() { return *machine_; }
  const std::filesystem::path& Folder() const { return folder_.path(); }
  std::string SystemDir() { return machine_->program().SystemFolder(); }
  std::string WindowsDir() { return machine_->program().WindowsFolder(); }

  // Files by Windows path.
  void WriteFile(std::string_view path, std::string_view text);
  std::string ReadFile(std::string_view path);
  bool Exists(std::string_view path);
  void Remove(std::string_view path);

  // Registry values by root and key path ("Software\KV").
  void SetDword(platform::KeyHandle root, std::string_view key, std::string_view name,
                std::uint32_t value);
  void SetString(platform::KeyHandle root, std::string_view key, std::string_view name,
                 std::string_view value);
  void SetRaw(platform::KeyHandle root, std::string_view key, std::string_view name,
              platform::ValueType type, std::vector<std::uint8_t> data);
  bool KeyExists(platform::KeyHandle root, std::string_view key);
  bool ValueExists(platform::KeyHandle root, std::string_view key, std::string_view name);
  std::optional<platform::ValueType> TypeOf(platform::KeyHandle root, std::string_view key,
                                            std::string_view name);
  std::optional<std::uint32_t> Dword(platform::KeyHandle root, std::string_view key,
                                     std::string_view name);
  std::optional<std::string> String(platform::KeyHandle root, std::string_view key,
                                    std::string_view name);
  std::vector<std::uint8_t> Raw(platform::KeyHandle root, std::string_view key,
                                std::string_view name);
  void DeleteKey(platform::KeyHandle root, std::string_view key);
  // Every value name of a key.
  std::vector<std::string> ValueNames(platform::KeyHandle root, std::string_view key);

 private:
  platform::testing::TempFolder folder_;
  std::unique_ptr<platform::sim::SimMachine> machine_;
  std::unique_ptr<platform::ScopedMachine> current_;
};

using platform::testing::ReadHostFile;

}  // namespace app_test
