#include "framework/registry/registry.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/machine.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace {

using framework::ERegistryException;
using framework::TRegDataType;
using framework::TRegistry;
using platform::ValueType;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::sim::MakeMachine(folder_.path(), "win98");
    machine_ = platform::sim::SimMachine::Open(folder_.path(), {"", true});
    current_ = std::make_unique<platform::ScopedMachine>(*machine_);
  }
  void TearDown() override {
    current_.reset();
    machine_.reset();
  }

  platform::Registry& Raw() { return machine_->registry(); }

  // Sets a raw value under HKEY_CURRENT_USER\Test.
  void Put(std::string_view name, ValueType type, std::vector<std::uint8_t> data) {
    platform::KeyHandle key = 0;
    ASSERT_EQ(Raw().CreateKey(platform::hkey::CurrentUser, "Test", 0xF003F, key), 0u);
    ASSERT_EQ(Raw().SetValue(key, name, type, data), 0u);
    Raw().CloseKey(key);
  }

  // The raw type and bytes of a value under HKEY_CURRENT_USER\Test.
  std::pair<ValueType, std::vector<std::uint8_t>> Get(std::string_view name) {
    platform::KeyHandle key = 0;
    EXPECT_EQ(Raw().OpenKey(platform::hkey::CurrentUser, "Test", 0x20019, key), 0u);
    ValueType type = ValueType::None;
    std::vector<std::uint8_t> data;
    EXPECT_EQ(Raw().QueryValue(key, name, &type, &data), 0u);
    Raw().CloseKey(key);
    return {type, data};
  }

  bool KeyExists(platform::KeyHandle root, std::string_view path) {
    platform::KeyHandle key = 0;
    if (Raw().OpenKey(root, path, 0x20019, key) != 0) return false;
    Raw().CloseKey(key);
    return true;
  }

  platform::testing::TempFolder folder_;
  std::unique_ptr<platform::sim::SimMachine> machine_;
  std::unique_ptr<platform::ScopedMachine> current_;
};

TEST_F(RegistryTest, RootIsCurrentUserAndKeysOpenForReadingAndWriting) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), platform::hkey::CurrentUser);
  ASSERT_TRUE(reg.OpenKey("Software\\KV", true));
  std::uint32_t access = 0;
  ASSERT_EQ(Raw().KeyAccess(reg.CurrentKey(), access), 0u);
  EXPECT_EQ(access, 0x2001Fu);
  EXPECT_TRUE(KeyExists(platform::hkey::CurrentUser, "Software\\KV"));
  EXPECT_FALSE(KeyExists(platform::hkey::LocalMachine, "Software\\KV"));
}

TEST_F(RegistryTest, RelativePathsStartAtTheCurrentKeyAndBackslashPathsAtTheRoot) {
  TRegistry reg;
  reg.SetRootKey(platform::hkey::LocalMachine);
  ASSERT_TRUE(reg.OpenKey("Software", true));
  EXPECT_EQ(reg.CurrentPath(), "Software");
  ASSERT_TRUE(reg.OpenKey("KV", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\KV");
  EXPECT_TRUE(KeyExists(platform::hkey::LocalMachine, "Software\\KV"));

  ASSERT_TRUE(reg.OpenKey("\\Other", true));
  EXPECT_EQ(reg.CurrentPath(), "Other");
  EXPECT_TRUE(KeyExists(platform::hkey::LocalMachine, "Other"));
  EXPECT_FALSE(KeyExists(platform::hkey::LocalMachine, "Software\\KV\\Other"));
}

TEST_F(RegistryTest, OpeningAMissingKeyWithoutCreateFailsAndKeepsTheCurrentKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", true));
  platform::KeyHandle before = reg.CurrentKey();
  EXPECT_FALSE(reg.OpenKey("\\Missing\\Key", false));
  EXPECT_FALSE(KeyExists(platform::hkey::CurrentUser, "Missing"));
  EXPECT_EQ(reg.CurrentKey(), before);
  EXPECT_EQ(reg.CurrentPath(), "Test");
}

TEST_F(RegistryTest, ChangingTheRootClosesTheCurrentKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", true));
  reg.SetRootKey(platform::hkey::LocalMachine);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_FALSE(reg.ValueExists("anything"));
}

TEST_F(RegistryTest, WritesStoreTheInstallersValueTypes) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", true));
  reg.WriteBool("On", true);
  reg.WriteBool("Off", false);
  reg.WriteInteger("Minus", -2);
  reg.WriteString("Host", "127.0.0.1");
  reg.WriteBinaryData("Raw", {1, 0, 0, 0, 9});

  struct Expected {
    const char* name;
    ValueType type;
    std::vector<std::uint8_t> data;
  };
  const Expected expected[] = {
      {"On", ValueType::Dword, {1, 0, 0, 0}},
      {"Off", ValueType::Dword, {0, 0, 0, 0}},
      {"Minus", ValueType::Dword, {0xFE, 0xFF, 0xFF, 0xFF}},
      {"Host", ValueType::String, {'1', '2', '7', '.', '0', '.', '0', '.', '1', 0}},
      {"Raw", ValueType::Binary, {1, 0, 0, 0, 9}},
  };
  for (const Expected& value : expected) {
    SCOPED_TRACE(value.name);
    auto [type, data] = Get(value.name);
    EXPECT_EQ(type, value.type);
    EXPECT_EQ(data, value.data);
  }
}

TEST_F(RegistryTest, TypedReadsReturnWhatWasStored) {
  Put("Dword", ValueType::Dword, {2, 0, 0, 0});
  Put("Negative", ValueType::Dword, {0xFF, 0xFF, 0xFF, 0xFF});
  Put("Zero", ValueType::Dword, {0, 0, 0, 0});
  Put("Text", ValueType::String, {'a', 'b', 0});
  Put("Expand", ValueType::ExpandString, {'%', 'X', '%', 0});
  Put("Bytes", ValueType::Binary, {7, 8});
  Put("Multi", ValueType::MultiString, {'a', 0, 0});

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", false));
  EXPECT_EQ(reg.ReadInteger("Dword"), 2);
  EXPECT_TRUE(reg.ReadBool("Dword"));  // any value but 0 is true
  EXPECT_EQ(reg.ReadInteger("Negative"), -1);
  EXPECT_FALSE(reg.ReadBool("Zero"));
  EXPECT_EQ(reg.ReadString("Text"), "ab");
  EXPECT_EQ(reg.ReadString("Expand"), "%X%");
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(reg.ReadBinaryData("Bytes"), (std::vector<std::uint8_t>{7, 8}));
  EXPECT_EQ(reg.ReadBinaryData("Multi"), (std::vector<std::uint8_t>{'a', 0, 0}));
  EXPECT_TRUE(reg.ReadBinaryData("Missing").empty());
}

TEST_F(RegistryTest, AReadOfAnotherTypeNamesTheValue) {
  Put("MigrateProxy", ValueType::String, {'1', 0});
  Put("ProxyServer", ValueType::Dword, {1, 0, 0, 0});
  Put("HTTP_ProxyPort", ValueType::Binary, {1, 0, 0, 0});

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", false));
  struct Case {
    std::function<void()> read;
    const char* message;
  };
  const Case cases[] = {
      {[&] { reg.ReadInteger("MigrateProxy"); }, "Invalid data type for 'MigrateProxy'"},
      {[&] { reg.ReadBool("MigrateProxy"); }, "Invalid data type for 'MigrateProxy'"},
      {[&] { reg.ReadString("ProxyServer"); }, "Invalid data type for 'ProxyServer'"},
      {[&] { reg.ReadBinaryData("ProxyServer"); }, "Invalid data type for 'ProxyServer'"},
      {[&] { reg.ReadInteger("HTTP_ProxyPort"); }, "Invalid data type for 'HTTP_ProxyPort'"},
      {[&] { reg.ReadInteger("Missing"); }, "Failed to get data for 'Missing'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      c.read();
      ADD_FAILURE() << "no exception";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST_F(RegistryTest, DataTypesAndExistenceIgnoreLetterCase) {
  Put("ProxyPort", ValueType::Dword, {80, 0, 0, 0});
  Put("ProxyServer", ValueType::String, {0});
  Put("ProxyEnable", ValueType::Binary, {1});
  Put("Expand", ValueType::ExpandString, {0});
  Put("Multi", ValueType::MultiString, {0, 0});

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", false));
  EXPECT_TRUE(reg.ValueExists("proxyport"));
  EXPECT_FALSE(reg.ValueExists("proxy"));
  EXPECT_EQ(reg.GetDataType("PROXYPORT"), TRegDataType::rdInteger);
  EXPECT_EQ(reg.GetDataType("ProxyServer"), TRegDataType::rdString);
  EXPECT_EQ(reg.GetDataType("ProxyEnable"), TRegDataType::rdBinary);
  EXPECT_EQ(reg.GetDataType("Expand"), TRegDataType::rdExpandString);
  EXPECT_EQ(reg.GetDataType("Multi"), TRegDataType::rdUnknown);
  EXPECT_EQ(reg.GetDataType("Missing"), TRegDataType::rdUnknown);
}

TEST_F(RegistryTest, AWriteThatFailsRaises) {
  TRegistry noKey;
  try {
    noKey.WriteString("ProxyHost", "x");
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'ProxyHost'");
  }

  // A key deleted while it is open refuses writes.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Gone", true));
  TRegistry other;
  ASSERT_TRUE(other.DeleteKey("\\Gone"));
  EXPECT_THROW(reg.WriteInteger("ProxyPort", 80), ERegistryException);
}

TEST_F(RegistryTest, DeleteKeyRemovesSubKeysAndValues) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\KV\\Sub\\Deeper", true));
  reg.WriteInteger("x", 1);
  ASSERT_TRUE(reg.OpenKey("\\Software", false));
  EXPECT_TRUE(reg.DeleteKey("KV"));  // relative to the current key
  EXPECT_FALSE(KeyExists(platform::hkey::CurrentUser, "Software\\KV"));
  EXPECT_TRUE(KeyExists(platform::hkey::CurrentUser, "Software"));
  EXPECT_FALSE(reg.DeleteKey("KV"));
}

TEST_F(RegistryTest, DeleteValueReportsWhetherItWasThere) {
  Put("OldAutoDial", ValueType::Dword, {1, 0, 0, 0});
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Test", false));
  EXPECT_TRUE(reg.DeleteValue("oldautodial"));
  EXPECT_FALSE(reg.ValueExists("OldAutoDial"));
  EXPECT_FALSE(reg.DeleteValue("OldAutoDial"));
}

TEST_F(RegistryTest, ClosingReleasesTheHandle) {
  auto& memory = static_cast<platform::MemoryRegistry&>(Raw());
  std::size_t before = memory.OpenHandleCount();
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Test", true));
    ASSERT_TRUE(reg.OpenKey("Inner", true));  // the first handle is closed when replaced
    EXPECT_EQ(memory.OpenHandleCount(), before + 1);
  }
  EXPECT_EQ(memory.OpenHandleCount(), before);
}

}  // namespace
