#include "app/splash_browser_proxy.hpp"

#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

using platform::hkey::CurrentUser;
using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";
constexpr std::string_view kIE = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr std::string_view kNavigator = "Software\\Netscape\\Netscape Navigator\\Proxy Information";
constexpr std::string_view kProfiles = "C:\\Program Files\\Netscape\\Users\\";

class BrowserProxyTest : public SimMachineTest {
 protected:
  void SetUp() override {
    MakeMachine("win98", false);
    // The machine key exists by the time these steps run (page 3 made it).
    SetString(LocalMachine, kKV, "ProxyHost", "0.0.0.0");
  }

  // Runs the Internet Settings step with the machine key open, as the installation does.
  void SaveInternetSettings(bool existingInstall) {
    framework::TRegistry internetSettings;
    framework::TRegistry machineKey;
    machineKey.SetRootKey(LocalMachine);
    ASSERT_TRUE(machineKey.OpenKey("Software\\KV", true));
    app::SaveInternetSettings(internetSettings, machineKey, existingInstall);
  }

  void WriteProfile(std::string_view name, std::string_view prefs) {
    ASSERT_EQ(Machine().files().MakeFolder(std::string(kProfiles) + std::string(name)), 0u);
    WriteFile(std::string(kProfiles) + std::string(name) + "\\prefs.js", prefs);
  }
};

TEST_F(BrowserProxyTest, NewInstallationSavesTheInternetSettingsOfAFreshMachine) {
  SetString(CurrentUser, kIE, "ProxyServer", "proxy.isp.net:8080");
  SaveInternetSettings(false);
  // The win98 profile has MigrateProxy 1, ProxyHttp1.1 0 and ProxyEnable 0 as DWORDs.
  EXPECT_EQ(Dword(LocalMachine, kKV, "OldMigrateProxy"), 1u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "OldProxyHttp1.1"), 0u);
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyServer"), "proxy.isp.net:8080");
  EXPECT_EQ(Dword(LocalMachine, kKV, "OldProxyEnable"), 0u);
}

TEST_F(BrowserProxyTest, ExistingInstallationSavesOnlyTheServerAndRawProxyEnable) {
  SetRaw(CurrentUser, kIE, "ProxyEnable", platform::ValueType::Binary, {1, 0, 0, 0});
  SaveInternetSettings(true);
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "OldMigrateProxy"));
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "OldProxyHttp1.1"));
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyServer"), "");  // no ProxyServer: empty
  EXPECT_EQ(TypeOf(LocalMachine, kKV, "OldProxyEnable"), platform::ValueType::Binary);
  EXPECT_EQ(Raw(LocalMachine, kKV, "OldProxyEnable"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST_F(BrowserProxyTest, ProxyEnableIsSavedByItsType) {
  struct Case {
    const char* name;
    platform::ValueType type;
    std::vector<std::uint8_t> data;
    bool existingInstall;
    std::optional<platform::ValueType> saved;
  };
  const Case cases[] = {
      {"string, new", platform::ValueType::String, {'1', 0}, false, platform::ValueType::String},
      {"string, existing", platform::ValueType::String, {'1', 0}, true, std::nullopt},
      {"dword, new", platform::ValueType::Dword, {1, 0, 0, 0}, false, platform::ValueType::Dword},
      {"dword, existing", platform::ValueType::Dword, {1, 0, 0, 0}, true, std::nullopt},
      {"binary, existing", platform::ValueType::Binary, {1}, true, platform::ValueType::Binary},
      {"expand string", platform::ValueType::ExpandString, {'1', 0}, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteKey(LocalMachine, kKV);
    SetRaw(CurrentUser, kIE, "ProxyEnable", c.type, c.data);
    SaveInternetSettings(c.existingInstall);
    EXPECT_EQ(TypeOf(LocalMachine, kKV, "OldProxyEnable"), c.saved);
    if (c.saved) {
      EXPECT_EQ(Raw(LocalMachine, kKV, "OldProxyEnable"), c.data);
    }
  }
}

TEST_F(BrowserProxyTest, SavedValuesOfAnEarlierInstallationAreNeverReplaced) {
  SetDword(LocalMachine, kKV, "OldMigrateProxy", 7);
  SetString(LocalMachine, kKV, "OldProxyServer", "first.proxy:80");
  SetString(LocalMachine, kKV, "OldProxyEnable", "keep");
  SetString(CurrentUser, kIE, "ProxyServer", "second.proxy:80");
  SaveInternetSettings(false);
  EXPECT_EQ(Dword(LocalMachine, kKV, "OldMigrateProxy"), 7u);
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyServer"), "first.proxy:80");
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyEnable"), "keep");
}

TEST_F(BrowserProxyTest, AServerPointingAtTheLocalProxySavesTheOlderServer) {
  SetString(CurrentUser, kIE, "ProxyServer", "http=127.0.0.1:6711");
  SetString(CurrentUser, kIE, "OldProxyServer", "users.own.proxy:3128");
  SaveInternetSettings(true);
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyServer"), "users.own.proxy:3128");

  // Without an older server the local address itself is kept.
  DeleteKey(LocalMachine, kKV);
  SetString(CurrentUser, kIE, "OldProxyServer", "");
  framework::TRegistry ie;
  ie.SetRootKey(CurrentUser);
  ASSERT_TRUE(ie.OpenKey(kIE, false));
  ie.DeleteValue("OldProxyServer");
  SaveInternetSettings(true);
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyServer"), "http=127.0.0.1:6711");
}

TEST_F(BrowserProxyTest, AMigrateProxyOfAnotherTypeStopsTheStep) {
  SetString(CurrentUser, kIE, "MigrateProxy", "1");
  try {
    SaveInternetSettings(false);
    ADD_FAILURE() << "no exception";
  } catch (const framework::ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'MigrateProxy'");
  }
}

TEST_F(BrowserProxyTest, WithoutTheInternetSettingsKeyNothingIsSaved) {
  DeleteKey(CurrentUser, kIE);
  SaveInternetSettings(false);
  for (const char* name :
       {"OldMigrateProxy", "OldProxyHttp1.1", "OldProxyServer", "OldProxyEnable"}) {
    EXPECT_FALSE(ValueExists(LocalMachine, kKV, name)) << name;
  }
}

TEST_F(BrowserProxyTest, PreferenceLinesAreRecordedWholeAndTheLastMatchWins) {
  WriteProfile("alice",
               "// Mozilla User Preferences\r\n"
               "user_pref(\"network.proxy.http\", \"first.proxy\");\r\n"
               "user_pref(\"network.proxy.http_port\", 8080);\r\n"
               "user_pref(\"network.proxy.http\", \"second.proxy\");\r\n"
               "user_pref(\"network.proxy.type\", 1);\r\n"
               "user_pref(\"browser.cache.check_doc_frequency\", 2);\r\n");
  app::RecordNetscapePrefs(std::string(kProfiles) + "alice");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyHttp"),
            "user_pref(\"network.proxy.http\", \"second.proxy\");");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyPort"),
            "user_pref(\"network.proxy.http_port\", 8080);");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyType"), "user_pref(\"network.proxy.type\", 1);");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyCache"),
            "user_pref(\"browser.cache.check_doc_frequency\", 2);");
  // The preference file is left as it was.
  EXPECT_NE(ReadFile(std::string(kProfiles) + "alice\\Prefs.JS").find("first.proxy"),
            std::string::npos);
}

TEST_F(BrowserProxyTest, APortLineDoesNotCountAsTheHostLine) {
  WriteProfile("bob", "user_pref(\"network.proxy.http_port\", 3128);\n");
  app::RecordNetscapePrefs(std::string(kProfiles) + "bob");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyHttp"), "");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyPort"),
            "user_pref(\"network.proxy.http_port\", 3128);");
}

TEST_F(BrowserProxyTest, AProfileWithoutProxyLinesLeavesEmptyValuesThatLaterProfilesKeep) {
  WriteProfile("a_first", "user_pref(\"browser.startup.page\", 1);\n");
  WriteProfile("b_second", "user_pref(\"network.proxy.http\", \"later.proxy\");\n");
  app::RecordNetscapePrefs(std::string(kProfiles) + "a_first");
  app::RecordNetscapePrefs(std::string(kProfiles) + "b_second");
  for (const char* name : {"NSProxyHttp", "NSProxyPort", "NSProxyType", "NSProxyCache"}) {
    EXPECT_EQ(String(LocalMachine, kKV, name), "") << name;
  }
}

TEST_F(BrowserProxyTest, PreferencesAreNotRecordedWithoutTheMachineKey) {
  DeleteKey(LocalMachine, kKV);
  WriteProfile("alice", "user_pref(\"network.proxy.type\", 1);\n");
  app::RecordNetscapePrefs(std::string(kProfiles) + "alice");
  EXPECT_FALSE(KeyExists(LocalMachine, kKV));
}

TEST_F(BrowserProxyTest, ScanVisitsEntriesWithoutAnExtension) {
  WriteProfile("alice", "user_pref(\"network.proxy.type\", 1);\n");
  WriteProfile("old.bak", "user_pref(\"network.proxy.http_port\", 1);\n");
  app::ScanNetscapeProfiles();
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyType"), "user_pref(\"network.proxy.type\", 1);");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyPort"), "");
}

TEST_F(BrowserProxyTest, ScanWithoutNetscapeDoesNothing) {
  app::ScanNetscapeProfiles();
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "NSProxyHttp"));
}

TEST_F(BrowserProxyTest, NavigatorIsPointedAtTheLocalProxyAndItsValuesSaved) {
  SetString(CurrentUser, kNavigator, "HTTP_Proxy", "proxy.isp.net");
  SetDword(CurrentUser, kNavigator, "HTTP_ProxyPort", 8080);
  SetDword(CurrentUser, kNavigator, "Proxy Type", 2);
  app::RedirectNetscapeProxy();
  EXPECT_EQ(String(LocalMachine, kKV, "NS_Old_HTTP_Proxy"), "proxy.isp.net");
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_Old_HTTP_ProxyPort"), 8080u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_OldProxyType"), 2u);
  EXPECT_EQ(String(CurrentUser, kNavigator, "HTTP_Proxy"), "127.0.0.1");
  EXPECT_EQ(Dword(CurrentUser, kNavigator, "HTTP_ProxyPort"), 6711u);
  EXPECT_EQ(Dword(CurrentUser, kNavigator, "Proxy Type"), 1u);

  // A second installation finds the local proxy set and keeps the user's own values saved.
  app::RedirectNetscapeProxy();
  EXPECT_EQ(String(LocalMachine, kKV, "NS_Old_HTTP_Proxy"), "proxy.isp.net");
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_Old_HTTP_ProxyPort"), 8080u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_OldProxyType"), 2u);
}

TEST_F(BrowserProxyTest, NavigatorValuesAreSavedUnlessAlreadyRedirectedWithACopySaved) {
  struct Case {
    const char* what;
    const char* host;
    std::uint32_t port;
    std::uint32_t type;
    bool savedBefore;
    const char* savedHost;
    std::uint32_t savedPort;
    std::uint32_t savedType;
  };
  const Case cases[] = {
      {"redirected, copies saved", "127.0.0.1", 6711, 1, true, "proxy.isp.net", 8080, 2},
      {"the user's own local proxy, nothing saved yet", "127.0.0.1", 6711, 1, false, "127.0.0.1",
       6711, 1},
      {"changed by the user since", "other.proxy", 3128, 0, true, "other.proxy", 3128, 0},
      {"only the host still redirected", "127.0.0.1", 3128, 2, true, "proxy.isp.net", 3128, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteKey(LocalMachine, kKV);
    if (c.savedBefore) {
      SetString(LocalMachine, kKV, "NS_Old_HTTP_Proxy", "proxy.isp.net");
      SetDword(LocalMachine, kKV, "NS_Old_HTTP_ProxyPort", 8080);
      SetDword(LocalMachine, kKV, "NS_OldProxyType", 2);
    }
    SetString(CurrentUser, kNavigator, "HTTP_Proxy", c.host);
    SetDword(CurrentUser, kNavigator, "HTTP_ProxyPort", c.port);
    SetDword(CurrentUser, kNavigator, "Proxy Type", c.type);
    app::RedirectNetscapeProxy();
    EXPECT_EQ(String(LocalMachine, kKV, "NS_Old_HTTP_Proxy"), c.savedHost);
    EXPECT_EQ(Dword(LocalMachine, kKV, "NS_Old_HTTP_ProxyPort"), c.savedPort);
    EXPECT_EQ(Dword(LocalMachine, kKV, "NS_OldProxyType"), c.savedType);
    EXPECT_EQ(String(CurrentUser, kNavigator, "HTTP_Proxy"), "127.0.0.1");
    EXPECT_EQ(Dword(CurrentUser, kNavigator, "HTTP_ProxyPort"), 6711u);
    EXPECT_EQ(Dword(CurrentUser, kNavigator, "Proxy Type"), 1u);
  }
}

TEST_F(BrowserProxyTest, NavigatorValuesThatAreMissingStayMissing) {
  SetDword(CurrentUser, kNavigator, "Proxy Type", 0);
  app::RedirectNetscapeProxy();
  EXPECT_FALSE(ValueExists(CurrentUser, kNavigator, "HTTP_Proxy"));
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "NS_Old_HTTP_Proxy"));
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_OldProxyType"), 0u);
}

TEST_F(BrowserProxyTest, ANavigatorPortOfAnotherTypeRaisesAfterTheHostWasRedirected) {
  SetString(CurrentUser, kNavigator, "HTTP_Proxy", "proxy.isp.net");
  SetString(CurrentUser, kNavigator, "HTTP_ProxyPort", "8080");
  EXPECT_THROW(app::RedirectNetscapeProxy(), framework::ERegistryException);
  EXPECT_EQ(String(CurrentUser, kNavigator, "HTTP_Proxy"), "127.0.0.1");
}

TEST_F(BrowserProxyTest, OlderReleaseValuesMoveIntoTheMachineKey) {
  SetString(CurrentUser, kIE, "NSProxyHTTP", "old host line");
  SetString(CurrentUser, kIE, "NSProxyCache", "old cache line");
  SetDword(CurrentUser, kIE, "OldAutoDial", 1);
  SetString(LocalMachine, kKV, "NSProxyHttp", "recorded from Prefs.JS");

  framework::TRegistry internetSettings;
  framework::TRegistry machineKey;
  machineKey.SetRootKey(LocalMachine);
  ASSERT_TRUE(machineKey.OpenKey("Software\\KV", true));
  app::SaveInternetSettings(internetSettings, machineKey, true);
  app::MoveOlderReleaseValues(internetSettings, machineKey);

  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyHttp"), "old host line");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyCache"), "old cache line");
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "NSProxyPort"));
  for (const char* name : {"NSProxyHTTP", "NSProxyCache", "OldAutoDial"}) {
    EXPECT_FALSE(ValueExists(CurrentUser, kIE, name)) << name;
  }
}

TEST_F(BrowserProxyTest, OlderReleaseStepNeedsTheInternetSettingsKeyOpen) {
  DeleteKey(CurrentUser, kIE);
  framework::TRegistry internetSettings;
  framework::TRegistry machineKey;
  machineKey.SetRootKey(LocalMachine);
  ASSERT_TRUE(machineKey.OpenKey("Software\\KV", true));
  app::SaveInternetSettings(internetSettings, machineKey, true);
  SetString(CurrentUser, kIE, "NSProxyType", "made afterwards");
  app::MoveOlderReleaseValues(internetSettings, machineKey);
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "NSProxyType"));
  EXPECT_TRUE(ValueExists(CurrentUser, kIE, "NSProxyType"));
}

}  // namespace
}  // namespace app_test
