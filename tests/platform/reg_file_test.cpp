#include <gtest/gtest.h>

#include "platform/exception.hpp"
#include "platform/memory_registry.hpp"
#include "platform/reg_file.hpp"

namespace platform {
namespace {

KeyHandle Create(Registry& registry, KeyHandle root, std::string_view path) {
  KeyHandle key = 0;
  EXPECT_EQ(registry.CreateKey(root, path, key_access::AllAccess, key), win_error::Success);
  return key;
}

TEST(RegFile, ExactTextOfASmallExport) {
  MemoryRegistry registry;
  const KeyHandle kv = Create(registry, hkey::LocalMachine, "Software\\KV");
  registry.SetValue(kv, "", ValueType::String, StringData("default"));
  registry.SetValue(kv, "Path", ValueType::String, StringData("C:\\WINDOWS \"x\""));
  registry.SetValue(kv, "Sound", ValueType::Dword, DwordData(0x1A));
  registry.SetValue(kv, "Raw", ValueType::Binary, std::vector<std::uint8_t>{0x00, 0xAB});
  registry.SetValue(kv, "Expand", ValueType::ExpandString, StringData("%a%"));
  registry.CloseKey(Create(registry, hkey::LocalMachine, "Software\\KV\\Empty"));
  EXPECT_EQ(ExportRegistryRoot(registry, hkey::LocalMachine),
            "REGEDIT4\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE]\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software]\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\KV]\r\n"
            "@=\"default\"\r\n"
            "\"Path\"=\"C:\\\\WINDOWS \\\"x\\\"\"\r\n"
            "\"Sound\"=dword:0000001a\r\n"
            "\"Raw\"=hex:00,ab\r\n"
            "\"Expand\"=hex(2):25,61,25,00\r\n"
            "\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\KV\\Empty]\r\n"
            "\r\n");
}

TEST(RegFile, LongHexDataWrapsNear80Columns) {
  MemoryRegistry registry;
  const KeyHandle key = Create(registry, hkey::Users, "Long");
  registry.SetValue(key, "Blob", ValueType::Binary, std::vector<std::uint8_t>(60, 0x11));
  const std::string text = ExportRegistryRoot(registry, hkey::Users);
  const auto start = text.find("\"Blob\"=hex:");
  ASSERT_NE(start, std::string::npos);
  std::size_t lines = 0;
  for (std::size_t pos = start; pos < text.size();) {
    const auto end = text.find("\r\n", pos);
    const std::string line = text.substr(pos, end - pos);
    if (line.empty()) break;
    EXPECT_LE(line.size(), 80u) << line;
    if (lines > 0) {
      EXPECT_EQ(line.substr(0, 2), "  ");
    }
    ++lines;
    pos = end + 2;
  }
  EXPECT_EQ(lines, 3u);
  EXPECT_NE(text.find(",\\\r\n  11,"), std::string::npos);
}

TEST(RegFile, RoundTripIsLossless) {
  MemoryRegistry original;
  const KeyHandle a = Create(original, hkey::CurrentUser, "Software\\Netscape\\Proxy Information");
  original.SetValue(a, "HTTP_Proxy", ValueType::String, StringData("proxy.example"));
  original.SetValue(a, "HTTP_ProxyPort", ValueType::Dword, DwordData(8080));
  original.SetValue(a, "Multi", ValueType::MultiString,
                    std::vector<std::uint8_t>{'a', 0, 'b', 0, 0});
  original.SetValue(a, "Empty", ValueType::String, {});
  original.SetValue(a, "NoNul", ValueType::String, std::vector<std::uint8_t>{'x', 'y'});
  original.SetValue(a, "Lines", ValueType::String, StringData("one\r\ntwo"));
  original.SetValue(a, "Short dword", ValueType::Dword, std::vector<std::uint8_t>{1, 2});
  original.SetValue(a, "Odd type", static_cast<ValueType>(11), std::vector<std::uint8_t>(100, 7));
  original.SetValue(a, "Ansi \xE9", ValueType::String, StringData("caf\xE9 \\ \"q\""));
  original.CloseKey(Create(original, hkey::CurrentUser, "Software\\Zeta"));
  original.CloseKey(Create(original, hkey::CurrentUser, "Software\\Alpha"));
  const std::string text = ExportRegistryRoot(original, hkey::CurrentUser);

  MemoryRegistry copy;
  ImportRegistryText(copy, text, "HKEY_CURRENT_USER.reg");
  EXPECT_EQ(ExportRegistryRoot(copy, hkey::CurrentUser), text);
  KeyHandle key = 0;
  ASSERT_EQ(copy.OpenKey(hkey::CurrentUser, "Software\\Netscape\\Proxy Information",
                         key_access::Read, key),
            0u);
  for (const char* name : {"Multi", "Empty", "NoNul", "Lines", "Short dword", "Odd type"}) {
    ValueType typeA, typeB;
    std::vector<std::uint8_t> dataA, dataB;
    ASSERT_EQ(original.QueryValue(a, name, &typeA, &dataA), 0u);
    ASSERT_EQ(copy.QueryValue(key, name, &typeB, &dataB), 0u) << name;
    EXPECT_EQ(typeA, typeB) << name;
    EXPECT_EQ(dataA, dataB) << name;
  }
}

TEST(RegFile, ImportAcceptsHandWrittenText) {
  MemoryRegistry registry;
  ImportRegistryText(registry,
                     "\nREGEDIT4\n\n; a comment\n[hkey_local_machine\\Software\\KV]\n"
                     "  \"ProxyPort\" = dword:50\n\"Bytes\"=hex: 01, 2 ,\\\n   ff\n",
                     "test.reg");
  KeyHandle key = 0;
  ASSERT_EQ(registry.OpenKey(hkey::LocalMachine, "Software\\KV", key_access::Read, key), 0u);
  std::vector<std::uint8_t> data;
  ASSERT_EQ(registry.QueryValue(key, "proxyport", nullptr, &data), 0u);
  EXPECT_EQ(DwordFromData(data), 0x50u);
  ASSERT_EQ(registry.QueryValue(key, "Bytes", nullptr, &data), 0u);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 0xFF}));
}

TEST(RegFile, ErrorsNameTheSourceAndLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"REGEDIT5\r\n", "x.reg, line 1: the text does not start with \"REGEDIT4\""},
      {"REGEDIT4\r\n\"a\"=dword:1\r\n", "x.reg, line 2: a value line comes before any key line"},
      {"REGEDIT4\r\n[HKEY_NOWHERE\\A]\r\n", "x.reg, line 2: unknown root key \"HKEY_NOWHERE\""},
      {"REGEDIT4\r\n[HKEY_USERS\\A]\r\n\"a\"=dword:123456789\r\n",
       "x.reg, line 3: bad hexadecimal number"},
      {"REGEDIT4\r\n[HKEY_USERS\\A]\r\n\"a\"=hex:01,\\\r\n", "x.reg, line 3: the hex data breaks"},
      {"REGEDIT4\r\n[HKEY_USERS\\A]\r\n\"a=1\r\n", "x.reg, line 3: a quoted text has no"},
      {"REGEDIT4\r\n[HKEY_USERS\\A]\r\n\"a\"=text\r\n", "x.reg, line 3: unknown value data"},
      {"REGEDIT4\r\n[HKEY_USERS\\A\r\n", "x.reg, line 2: a key line must end with \"]\""},
  };
  for (const auto& c : cases) {
    MemoryRegistry registry;
    try {
      ImportRegistryText(registry, c.text, "x.reg");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
  }
}

}  // namespace
}  // namespace platform
