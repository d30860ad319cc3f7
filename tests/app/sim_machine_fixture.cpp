#include "sim_machine_fixture.hpp"

#include "platform/sim/machine_profiles.hpp"
#include "tools/mkdist/dist_folder.hpp"

namespace app_test {
namespace {

constexpr std::uint32_t kAllAccess = platform::key_access::AllAccess;

// Building the setup folder's tables takes most of a test's time, and every machine with the
// same system folder (which the uninstaller shortcut names) gets the same folder: it is built
// once per system folder and copied afterwards.
void FillSetupFolder(platform::Machine& machine) {
  static platform::testing::TempFolder built;
  const std::filesystem::path copy =
      built.path() / std::to_string(std::hash<std::string>{}(machine.program().SystemFolder()));
  const std::filesystem::path target = machine.files().HostPath(kSetupDir);
  if (!std::filesystem::exists(copy)) {
    mkdist::FillSetupFolder(kSetupDir);
    std::filesystem::copy(target, copy, std::filesystem::copy_options::recursive);
    return;
  }
  std::filesystem::create_directories(target);
  std::filesystem::copy(
      copy, target,
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

void SimMachineTest::TearDown() {
  CloseMachine();
}

void SimMachineTest::MakeMachine(std::string_view profile, bool withSetupFolder,
                                 const platform::sim::SecurityChoices& security) {
  platform::sim::MakeMachine(folder_.path(), profile, security);
  OpenMachine();
  if (withSetupFolder) FillSetupFolder(*machine_);
}

void SimMachineTest::CloseMachine() {
  current_.reset();
  if (machine_) machine_->Save();
  machine_.reset();
}

void SimMachineTest::OpenMachine() {
  platform::sim::SimOptions options;
  options.programPath = std::string(kSetupDir) + "\\SETUP.EXE";
  options.virtualClock = true;
  machine_ = platform::sim::SimMachine::Open(folder_.path(), options);
  current_ = std::make_unique<platform::ScopedMachine>(*machine_);
}

void SimMachineTest::WriteFile(std::string_view path, std::string_view text) {
  std::unique_ptr<platform::File> file;
  ASSERT_EQ(
      machine_->files().Open(path, platform::file_access::GenericWrite, platform::file_share::None,
                             platform::Disposition::CreateAlways, file),
      0u)
      << path;
  std::uint32_t written = 0;
  ASSERT_EQ(file->WriteAt(0, text.data(), static_cast<std::uint32_t>(text.size()), written), 0u);
}

std::string SimMachineTest::ReadFile(std::string_view path) {
  std::string host = machine_->files().HostPath(path);
  return host.empty() ? std::string() : ReadHostFile(host);
}

bool SimMachineTest::Exists(std::string_view path) {
  return machine_->files().Exists(path);
}

void SimMachineTest::Remove(std::string_view path) {
  machine_->files().Remove(path);
}

void SimMachineTest::SetRaw(platform::KeyHandle root, std::string_view key, std::string_view name,
                            platform::ValueType type, std::vector<std::uint8_t> data) {
  platform::Registry& registry = machine_->registry();
  platform::KeyHandle handle = 0;
  ASSERT_EQ(registry.CreateKey(root, key, kAllAccess, handle), 0u) << key;
  ASSERT_EQ(registry.SetValue(handle, name, type, data), 0u) << name;
  registry.CloseKey(handle);
}

void SimMachineTest::SetDword(platform::KeyHandle root, std::string_view key, std::string_view name,
                              std::uint32_t value) {
  SetRaw(root, key, name, platform::ValueType::Dword, platform::DwordData(value));
}

void SimMachineTest::SetString(platform::KeyHandle root, std::string_view key,
                               std::string_view name, std::string_view value) {
  SetRaw(root, key, name, platform::ValueType::String, platform::StringData(value));
}

bool SimMachineTest::KeyExists(platform::KeyHandle root, std::string_view key) {
  platform::KeyHandle handle = 0;
  if (machine_->registry().OpenKey(root, key, platform::key_access::Read, handle) != 0) {
    return false;
  }
  machine_->registry().CloseKey(handle);
  return true;
}

std::optional<platform::ValueType> SimMachineTest::TypeOf(platform::KeyHandle root,
                                                          std::string_view key,
                                                          std::string_view name) {
  platform::Registry& registry = machine_->registry();
  platform::KeyHandle handle = 0;
  if (registry.OpenKey(root, key, platform::key_access::Read, handle) != 0) return std::nullopt;
  platform::ValueType type = platform::ValueType::None;
  platform::ErrorCode error = registry.QueryValue(handle, name, &type, nullptr);
  registry.CloseKey(handle);
  if (error != 0) return std::nullopt;
  return type;
}

bool SimMachineTest::ValueExists(platform::KeyHandle root, std::string_view key,
                                 std::string_view name) {
  return TypeOf(root, key, name).has_value();
}

std::vector<std::uint8_t> SimMachineTest::Raw(platform::KeyHandle root, std::string_view key,
                                              std::string_view name) {
  platform::Registry& registry = machine_->registry();
  platform::KeyHandle handle = 0;
  std::vector<std::uint8_t> data;
  if (registry.OpenKey(root, key, platform::key_access::Read, handle) != 0) return data;
  registry.QueryValue(handle, name, nullptr, &data);
  registry.CloseKey(handle);
  return data;
}

std::optional<std::uint32_t> SimMachineTest::Dword(platform::KeyHandle root, std::string_view key,
                                                   std::string_view name) {
  if (TypeOf(root, key, name) != platform::ValueType::Dword) return std::nullopt;
  return platform::DwordFromData(Raw(root, key, name));
}

std::optional<std::string> SimMachineTest::String(platform::KeyHandle root, std::string_view key,
                                                  std::string_view name) {
  if (TypeOf(root, key, name) != platform::ValueType::String) return std::nullopt;
  return platform::StringFromData(Raw(root, key, name));
}

void SimMachineTest::DeleteKey(platform::KeyHandle root, std::string_view key) {
  machine_->registry().DeleteTree(root, key);
}

std::vector<std::string> SimMachineTest::ValueNames(platform::KeyHandle root,
                                                    std::string_view key) {
  platform::Registry& registry = machine_->registry();
  std::vector<std::string> names;
  platform::KeyHandle handle = 0;
  if (registry.OpenKey(root, key, platform::key_access::Read, handle) != 0) return names;
  std::string name;
  for (std::uint32_t i = 0; registry.EnumValue(handle, i, name, nullptr, nullptr) == 0; ++i) {
    names.push_back(name);
  }
  registry.CloseKey(handle);
  return names;
}

}  // namespace app_test
