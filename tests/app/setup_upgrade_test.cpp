// Installations over an earlier one, run end to end through the Setup command.
#include "app/splash.hpp"
#include "setup_run_fixture.hpp"
#include "tools/mkdist/earlier_install.hpp"

namespace app_test {
namespace {

using platform::hkey::CurrentUser;
using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";
constexpr std::string_view kIE = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr std::string_view kNavigator = "Software\\Netscape\\Netscape Navigator\\Proxy Information";
constexpr std::string_view kSystem = "C:\\WINNT\\system32\\";

class UpgradeTest : public SetupRunTest {
 protected:
  void PutOldFiles(std::initializer_list<const char*> names) {
    for (const char* name : names)
      WriteFile(std::string(kSystem) + name, "old data");
  }
  // The users table of an older release, which every upgrade with one merges.
  void PutOldUsersTable() {
    mkdist::WriteTable(
        kSystem, mkdist::UsersRecipe(mkdist::UsersLayout::OlderRelease, mkdist::EarlierAccounts()));
  }
};

TEST_F(UpgradeTest, NT4OverAnOlderReleaseWithEverything) {
  MakeMachine("nt4");
  PutOldFiles({"KV015.dat", "KV025.dat", "KV035.dat", "KV100.dat", "KVWords.dat", "KV015.cdx",
               "Oshelp.gid"});
  PutOldUsersTable();
  WriteFile(std::string(kSystem) + "Korvane Help.url", "[InternetShortcut]\r\n");
  // The older release kept its settings per user.
  SetDword(CurrentUser, kKV, "Sound", 1);
  SetDword(CurrentUser, kKV, "IdleTimeOut", 0);
  SetDword(CurrentUser, kKV, "ServerType", 0xFFFFFFFD);
  SetDword(CurrentUser, kKV, "UpdateNoAsk", 1);
  SetString(CurrentUser, kKV, "ProxyHost", "replaced by the answer");
  SetString(LocalMachine, kKV, "DefaultUser", "KIDS");
  SetString(CurrentUser, kIE, "NSProxyHTTP", "user_pref(\"network.proxy.http\", \"a\");");
  SetDword(CurrentUser, kIE, "OldAutoDial", 1);
  SetString(CurrentUser, kNavigator, "HTTP_Proxy", "127.0.0.1");
  ASSERT_EQ(Machine().files().MakeFolder("C:\\Program Files\\Netscape\\Users\\default"), 0u);
  WriteFile("C:\\Program Files\\Netscape\\Users\\default\\prefs.js",
            "user_pref(\"network.proxy.type\", 1);\n");

  SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=yes\nHost=proxy\nPort=8080\n"
      "[Upgrade]\nImportSites=no\n[Finish]\nStartNow=no\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // The transcript of questions, then what the NT permission step changed.
  EXPECT_EQ(result.out.substr(0, result.out.find("Setup: access of Everyone: ")),
            "Software License Agreement -> accept\n"
            "Proxy Server in use? -> yes\n"
            "Proxy Server IP Address -> proxy\n"
            "HTTP port -> 8080\n"
            "You are installing a new version of Korvane. Would you like to import your "
            "existing blocking list? -> no\n"
            "Start Korvane Now? -> no\n");

  // Carried settings; the answers of page 3 win over the per-user values.
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 1u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "IdleTimeOut"), 5u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "ServerType"), 0u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "UpdateNoAsk"), 1u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "proxy");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 8080u);
  EXPECT_EQ(String(LocalMachine, kKV, "DefaultUser"), "KIDS");
  EXPECT_FALSE(KeyExists(CurrentUser, kKV));

  // Browser values: Internet Settings DWORDs are not saved on an upgrade; the older release's
  // Netscape line moved; Navigator saved again.
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "OldMigrateProxy"));
  EXPECT_FALSE(ValueExists(LocalMachine, kKV, "OldProxyEnable"));
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyHttp"), "user_pref(\"network.proxy.http\", \"a\");");
  EXPECT_EQ(String(LocalMachine, kKV, "NSProxyType"), "user_pref(\"network.proxy.type\", 1);");
  EXPECT_FALSE(ValueExists(CurrentUser, kIE, "NSProxyHTTP"));
  EXPECT_FALSE(ValueExists(CurrentUser, kIE, "OldAutoDial"));
  EXPECT_EQ(String(LocalMachine, kKV, "NS_Old_HTTP_Proxy"), "127.0.0.1");

  // Files: the keyword list stays, the rest is new; stale index files are gone.
  EXPECT_EQ(ReadFile(std::string(kSystem) + "KVWords.dat"), "old data");
  EXPECT_EQ(ReadFile(std::string(kSystem) + "KV015.dat"), ReadFile("C:\\KVSETUP\\KV015.dat"));
  EXPECT_FALSE(Exists(std::string(kSystem) + "KV015.cdx"));
  EXPECT_FALSE(Exists(std::string(kSystem) + "Oshelp.gid"));

  // The finish page came directly, with the NT 4 all-users Start menu.
  const std::string folder = "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs\\Ostrel\\";
  EXPECT_TRUE(Exists(folder + "Korvane Help.url"));
  EXPECT_EQ(Link(folder + "OsUninstall.lnk").arguments, "C:\\WINNT\\SYSTEM32\\OsUninstall.exe");
  EXPECT_FALSE(Running("qalvint.exe"));
}

TEST_F(UpgradeTest, OnlyTheLogMakesTheImportQuestionCome) {
  MakeMachine("nt4");
  PutOldFiles({"KVLog.dat"});
  SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Upgrade]\nImportSites=yes\n"
      "[Finish]\nStartNow=no\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("import your existing blocking list? -> yes"), std::string::npos);
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 0u);  // no old value: false
}

TEST_F(UpgradeTest, ASiteListAloneIsAnUpgradeWithoutQuestions) {
  MakeMachine("win2000");
  WriteFile("C:\\WINNT\\SYSTEM32\\KV015.dat", "old list");
  // No [Upgrade] answer: the question must not come.
  SetupResult result =
      RunSetup("[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=yes\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 0u);
  EXPECT_TRUE(Running("qalvint.exe"));
}

TEST_F(UpgradeTest, ASecondInstallationKeepsTheFirstOnesSavedValues) {
  MakeMachine("win98");
  SetString(CurrentUser, kIE, "ProxyServer", "users.own.proxy:3128");
  SetDword(CurrentUser, kNavigator, "HTTP_ProxyPort", 8080);
  const char* answers =
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Upgrade]\n"
      "ImportSites=no\n[Finish]\nStartNow=no\n";
  ASSERT_EQ(RunSetup(answers).exitCode, 0);
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_Old_HTTP_ProxyPort"), 8080u);
  SetString(CurrentUser, kIE, "ProxyServer", "127.0.0.1:6711");
  ASSERT_EQ(RunSetup(answers).exitCode, 0);
  EXPECT_EQ(String(LocalMachine, kKV, "OldProxyServer"), "users.own.proxy:3128");
  EXPECT_EQ(Dword(LocalMachine, kKV, "OldMigrateProxy"), 1u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "NS_Old_HTTP_ProxyPort"), 8080u);
  EXPECT_EQ(Dword(CurrentUser, kNavigator, "HTTP_ProxyPort"), 6711u);
}

}  // namespace
}  // namespace app_test
