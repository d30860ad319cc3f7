#include <gtest/gtest.h>

#include "platform/memory_registry.hpp"

namespace platform {
namespace {

class MemoryRegistryTest : public ::testing::Test {
 protected:
  KeyHandle Create(std::string_view path, KeyHandle root = hkey::LocalMachine) {
    KeyHandle key = 0;
    EXPECT_EQ(registry.CreateKey(root, path, key_access::ReadWrite, key), win_error::Success);
    return key;
  }
  MemoryRegistry registry;
};

TEST_F(MemoryRegistryTest, ValuesKeepTheirTypeAndBytes) {
  const KeyHandle key = Create("Software\\KV");
  const std::vector<std::uint8_t> raw = {1, 0, 0, 0, 9};
  ASSERT_EQ(registry.SetValue(key, "Sound", ValueType::Dword, DwordData(1)), win_error::Success);
  ASSERT_EQ(registry.SetValue(key, "ProxyHost", ValueType::String, StringData("0.0.0.0")), 0u);
  ASSERT_EQ(registry.SetValue(key, "ProxyEnable", ValueType::Binary, raw), 0u);
  ValueType type = ValueType::None;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(registry.QueryValue(key, "sound", &type, &data), win_error::Success);
  EXPECT_EQ(type, ValueType::Dword);
  EXPECT_EQ(DwordFromData(data), 1u);
  ASSERT_EQ(registry.QueryValue(key, "PROXYHOST", &type, &data), win_error::Success);
  EXPECT_EQ(type, ValueType::String);
  EXPECT_EQ(StringFromData(data), "0.0.0.0");
  ASSERT_EQ(registry.QueryValue(key, "ProxyEnable", &type, &data), win_error::Success);
  EXPECT_EQ(type, ValueType::Binary);
  EXPECT_EQ(data, raw);
  // Rewriting under another type replaces type and bytes, the name keeps its first spelling.
  ASSERT_EQ(registry.SetValue(key, "SOUND", ValueType::String, StringData("1")), 0u);
  std::string name;
  ASSERT_EQ(registry.EnumValue(key, 0, name, &type, &data), win_error::Success);
  EXPECT_EQ(name, "Sound");
  EXPECT_EQ(type, ValueType::String);
  EXPECT_EQ(registry.QueryValue(key, "Sound", nullptr, nullptr), win_error::Success);
}

TEST_F(MemoryRegistryTest, MissingKeysAndValuesAreFileNotFound) {
  const KeyHandle key = Create("Software\\KV");
  KeyHandle other = 0;
  EXPECT_EQ(registry.OpenKey(hkey::LocalMachine, "Software\\Nothing", key_access::Read, other),
            win_error::FileNotFound);
  EXPECT_EQ(registry.QueryValue(key, "Missing", nullptr, nullptr), win_error::FileNotFound);
  EXPECT_EQ(registry.QueryValue(key, "", nullptr, nullptr), win_error::FileNotFound);
  EXPECT_EQ(registry.DeleteValue(key, "Missing"), win_error::FileNotFound);
  EXPECT_EQ(registry.DeleteTree(hkey::LocalMachine, "Software\\Nothing"), win_error::FileNotFound);
}

TEST_F(MemoryRegistryTest, NamesMatchWithoutCaseAndKeepTheirCase) {
  registry.CloseKey(Create("Software\\Microsoft\\Windows"));
  KeyHandle key = 0;
  bool created = true;
  ASSERT_EQ(registry.CreateKey(hkey::LocalMachine, "SOFTWARE\\microsoft", key_access::ReadWrite,
                               key, &created),
            win_error::Success);
  EXPECT_FALSE(created);
  std::string name;
  ASSERT_EQ(registry.EnumKey(key, 0, name), win_error::Success);
  EXPECT_EQ(name, "Windows");
  ASSERT_EQ(registry.EnumKey(hkey::LocalMachine, 0, name), win_error::Success);
  EXPECT_EQ(name, "Software");
  EXPECT_EQ(registry.EnumKey(key, 1, name), win_error::NoMoreItems);
  // ANSI letters beyond ASCII fold too (É / é in code page 1252).
  registry.CloseKey(Create("Caf\xC9"));
  EXPECT_EQ(registry.OpenKey(hkey::LocalMachine, "caf\xE9", key_access::Read, key), 0u);
}

TEST_F(MemoryRegistryTest, EnumerationFollowsCreationOrder) {
  const KeyHandle key = Create("Order");
  for (const char* name : {"Zeta", "Alpha", "Mid"}) {
    registry.CloseKey(Create(std::string("Order\\") + name));
    registry.SetValue(key, name, ValueType::Dword, DwordData(0));
  }
  std::string name;
  std::vector<std::string> keys, values;
  for (std::uint32_t i = 0; registry.EnumKey(key, i, name) == 0; ++i)
    keys.push_back(name);
  for (std::uint32_t i = 0; registry.EnumValue(key, i, name, nullptr, nullptr) == 0; ++i)
    values.push_back(name);
  const std::vector<std::string> expected = {"Zeta", "Alpha", "Mid"};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(values, expected);
}

TEST_F(MemoryRegistryTest, DeleteTreeRemovesSubKeysAndInvalidatesHandles) {
  const KeyHandle kv = Create("Software\\KV", hkey::CurrentUser);
  const KeyHandle deeper = Create("Software\\KV\\Sub\\Deeper", hkey::CurrentUser);
  registry.SetValue(kv, "Sound", ValueType::Dword, DwordData(1));
  ASSERT_EQ(registry.DeleteTree(hkey::CurrentUser, "software\\kv"), win_error::Success);
  KeyHandle reopened = 0;
  EXPECT_EQ(registry.OpenKey(hkey::CurrentUser, "Software\\KV\\Sub", key_access::Read, reopened),
            win_error::FileNotFound);
  EXPECT_EQ(registry.OpenKey(hkey::CurrentUser, "Software", key_access::Read, reopened), 0u);
  for (KeyHandle stale : {kv, deeper}) {
    EXPECT_EQ(registry.QueryValue(stale, "Sound", nullptr, nullptr), win_error::KeyDeleted);
    EXPECT_EQ(registry.SetValue(stale, "x", ValueType::Dword, DwordData(1)), win_error::KeyDeleted);
    KeyHandle child = 0;
    EXPECT_EQ(registry.CreateKey(stale, "New", key_access::ReadWrite, child),
              win_error::KeyDeleted);
    EXPECT_EQ(registry.CloseKey(stale), win_error::Success);
  }
  // A key created again under the old name starts empty.
  const KeyHandle fresh = Create("Software\\KV", hkey::CurrentUser);
  EXPECT_EQ(registry.QueryValue(fresh, "Sound", nullptr, nullptr), win_error::FileNotFound);
}

TEST_F(MemoryRegistryTest, PathRules) {
  KeyHandle key = 0;
  EXPECT_EQ(registry.OpenKey(hkey::LocalMachine, "\\Software", key_access::Read, key),
            win_error::BadPathname);
  EXPECT_EQ(registry.CreateKey(hkey::LocalMachine, "\\Software", key_access::ReadWrite, key),
            win_error::BadPathname);
  EXPECT_EQ(registry.CreateKey(hkey::LocalMachine, "A\\\\B", key_access::ReadWrite, key),
            win_error::BadPathname);
  EXPECT_EQ(registry.DeleteTree(hkey::LocalMachine, ""), win_error::InvalidParameter);
  const KeyHandle a = Create("A\\");
  KeyHandle again = 0;
  ASSERT_EQ(registry.OpenKey(a, "", key_access::Read, again), win_error::Success);
  EXPECT_NE(again, a);
  std::string name;
  ASSERT_EQ(registry.EnumKey(hkey::LocalMachine, 0, name), win_error::Success);
  EXPECT_EQ(name, "A");
}

TEST_F(MemoryRegistryTest, AccessMaskIsKeptAndEnforcedPerHandle) {
  registry.CloseKey(Create("Software\\KV"));
  KeyHandle reader = 0;
  ASSERT_EQ(registry.OpenKey(hkey::LocalMachine, "Software\\KV", key_access::Read, reader), 0u);
  std::uint32_t access = 0;
  ASSERT_EQ(registry.KeyAccess(reader, access), win_error::Success);
  EXPECT_EQ(access, key_access::Read);
  ASSERT_EQ(registry.KeyAccess(hkey::Users, access), win_error::Success);
  EXPECT_EQ(access, key_access::AllAccess);
  EXPECT_EQ(registry.SetValue(reader, "x", ValueType::Dword, DwordData(1)),
            win_error::AccessDenied);
  EXPECT_EQ(registry.DeleteValue(reader, "x"), win_error::AccessDenied);
  KeyHandle child = 0;
  EXPECT_EQ(registry.CreateKey(reader, "Child", key_access::ReadWrite, child),
            win_error::AccessDenied);
  EXPECT_EQ(registry.QueryValue(reader, "x", nullptr, nullptr), win_error::FileNotFound);
}

TEST_F(MemoryRegistryTest, HandlesCloseOnceAndFlushRunsTheHandler) {
  const KeyHandle key = Create("K");
  EXPECT_EQ(registry.OpenHandleCount(), 1u);
  EXPECT_EQ(registry.CloseKey(key), win_error::Success);
  EXPECT_EQ(registry.CloseKey(key), win_error::InvalidHandle);
  EXPECT_EQ(registry.QueryValue(key, "", nullptr, nullptr), win_error::InvalidHandle);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
  int flushes = 0;
  registry.SetFlushHandler([&] {
    ++flushes;
    return win_error::Success;
  });
  EXPECT_EQ(registry.Flush(), win_error::Success);
  EXPECT_EQ(flushes, 1);
}

}  // namespace
}  // namespace platform
