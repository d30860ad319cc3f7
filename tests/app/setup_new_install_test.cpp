// New installations, run end to end through the Setup command with an answer file.
#include <algorithm>
#include <fstream>

#include "setup_run_fixture.hpp"

namespace app_test {
namespace {

using platform::hkey::CurrentUser;
using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";
constexpr std::string_view kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kNavigator = "Software\\Netscape\\Netscape Navigator\\Proxy Information";

constexpr const char* kNoProxyStartNow =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Finish]\nStartNow=yes\n";

class NewInstallTest : public SetupRunTest {};

TEST_F(NewInstallTest, Windows98WithoutProxy) {
  MakeMachine("win98");
  SetString(CurrentUser, kNavigator, "HTTP_Proxy", "proxy.isp.net");
  SetDword(CurrentUser, kNavigator, "HTTP_ProxyPort", 8080);
  SetupResult result = RunSetup(kNoProxyStartNow);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // Every step is carried out.
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "Software License Agreement -> accept\n"
            "Proxy Server in use? -> no\n"
            "Add other users? -> no\n"
            "Start Korvane Now? -> yes\n");

  // Settings of a new installation.
  EXPECT_EQ(Dword(LocalMachine, kKV, "SendToProxy"), 0u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "0.0.0.0");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 80u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 1u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "IdleTimeOut"), 5u);
  EXPECT_EQ(String(LocalMachine, kKV, "DefaultUser"), "GUEST");
  EXPECT_EQ(String(LocalMachine, kKV, "LastUp").value_or("").size(), 8u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "OldMigrateProxy"), 1u);
  EXPECT_EQ(String(LocalMachine, kKV, "NS_Old_HTTP_Proxy"), "proxy.isp.net");
  EXPECT_EQ(Dword(CurrentUser, kNavigator, "HTTP_ProxyPort"), 6711u);
  EXPECT_EQ(String(LocalMachine, kRun, "Qalvint"), "qalvint");
  EXPECT_FALSE(KeyExists(CurrentUser, kKV));

  // The saved registry files hold the values as REGEDIT4 text.
  std::string machineReg = RegFile("HKEY_LOCAL_MACHINE");
  EXPECT_NE(machineReg.find("[HKEY_LOCAL_MACHINE\\Software\\KV]\r\n"), std::string::npos);
  EXPECT_NE(machineReg.find("\"ProxyPort\"=dword:00000050\r\n"), std::string::npos);
  EXPECT_NE(machineReg.find("\"DefaultUser\"=\"GUEST\"\r\n"), std::string::npos);
  EXPECT_NE(machineReg.find("\"Qalvint\"=\"qalvint\"\r\n"), std::string::npos);

  // Files in the system folder (the users table holds the accounts as the form left them).
  for (const char* name : {"KVconf.dat", "KVconf.fpt", "KVWords.dat", "KV015.dat", "KV100.dat",
                           "Qalvint.exe", "Uninstal.lnk", "Oshelp.hpj", "psapi.dll"}) {
    EXPECT_EQ(ReadFile("C:\\WINDOWS\\SYSTEM\\" + std::string(name)),
              ReadFile("C:\\KVSETUP\\" + std::string(name)))
        << name;
  }

  // The Start-menu folder: both shortcuts and the readme; no help link without its source.
  const std::string folder = "C:\\WINDOWS\\Start Menu\\Programs\\Ostrel\\";
  EXPECT_EQ(ReadFile(folder + "Readme.txt"), ReadFile("C:\\KVSETUP\\readme.txt"));
  EXPECT_FALSE(Exists(folder + "Korvane Help.url"));
  LinkContents uninstall = Link(folder + "OsUninstall.lnk");
  EXPECT_EQ(uninstall.relativePath, "OsUninstall.exe");
  EXPECT_EQ(uninstall.arguments, "C:\\WINDOWS\\SYSTEM\\OsUninstall.exe");
  EXPECT_EQ(uninstall.workingFolder, "C:\\WINDOWS\\SYSTEM");
  LinkContents help = Link(folder + "Oshelp.lnk");
  EXPECT_EQ(help.relativePath, "Oshelp.hlp");
  EXPECT_EQ(help.arguments, "C:\\WINDOWS\\SYSTEM\\Oshelp.hlp");

  // "Start Korvane Now?" was answered OK: the filter program runs.
  EXPECT_TRUE(Running("qalvint.exe"));
}

TEST_F(NewInstallTest, Windows2000WithProxyAnswers) {
  MakeMachine("win2000");
  WriteFile("C:\\WINNT\\SYSTEM32\\Korvane Help.url", "[InternetShortcut]\r\nURL=http://x/\r\n");
  SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n"
      "[Proxy]\nUseProxy=yes\nHost=10.20.30.40\nPort=3128\n"
      "[Upgrade]\nImportSites=yes\n"  // never asked on a new installation
      "[Finish]\nStartNow=no\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.find("import"), std::string::npos);

  EXPECT_EQ(Dword(LocalMachine, kKV, "SendToProxy"), 1u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "10.20.30.40");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 3128u);

  // The machine's own psapi.dll stays.
  EXPECT_NE(ReadFile("C:\\WINNT\\SYSTEM32\\psapi.dll"), ReadFile("C:\\KVSETUP\\psapi.dll"));

  // Windows 2000: the fixed all-users path on drive C:, into the existing folders.
  const std::string folder =
      "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Ostrel\\";
  EXPECT_TRUE(Exists(folder + "Korvane Help.url"));
  EXPECT_TRUE(Exists(folder + "Readme.txt"));
  EXPECT_EQ(Link(folder + "OsUninstall.lnk").arguments, "C:\\WINNT\\SYSTEM32\\OsUninstall.exe");
  EXPECT_EQ(Link(folder + "Oshelp.lnk").workingFolder, "C:\\WINNT\\SYSTEM32");
  int settingsFolders = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Folder() / "drives" / "C")) {
    std::string name = entry.path().filename().string();
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    if (name == "documents and settings") ++settingsFolders;
  }
  EXPECT_EQ(settingsFolders, 1);

  EXPECT_FALSE(Running("qalvint.exe"));
}

TEST_F(NewInstallTest, CancelledInputBoxesKeepTheirDefaults) {
  MakeMachine("win98");
  SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=yes\nHost=<cancel>\nPort=<cancel>\n"
      "[Finish]\nStartNow=no\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(Dword(LocalMachine, kKV, "SendToProxy"), 1u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "0.0.0.0");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 80u);
}

TEST_F(NewInstallTest, StartMenuFolderOfEachWindowsKind) {
  struct Case {
    const char* profile;
    const char* folder;
  };
  const Case cases[] = {
      {"win95", "C:\\WINDOWS\\Start Menu\\Programs\\Ostrel"},
      {"nt4", "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs\\Ostrel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    TearDown();
    MakeMachine(c.profile);
    ASSERT_EQ(RunSetup(kNoProxyStartNow).exitCode, 0);
    EXPECT_TRUE(Exists(std::string(c.folder) + "\\OsUninstall.lnk"));
    EXPECT_TRUE(Exists(std::string(c.folder) + "\\Oshelp.lnk"));
  }
}

TEST_F(NewInstallTest, AnNtVersionWithoutAStartMenuRuleGetsNoEntriesButTheQuestion) {
  MakeMachine("nt4");
  CloseMachine();
  std::string ini = ReadHostFile(Folder() / "machine.ini");
  std::size_t at = ini.find("MajorVersion=4");
  ASSERT_NE(at, std::string::npos);
  ini.replace(at, 14, "MajorVersion=3");
  std::ofstream(Folder() / "machine.ini", std::ios::binary) << ini;
  OpenMachine();

  SetupResult result = RunSetup(kNoProxyStartNow);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("Start Korvane Now? -> yes"), std::string::npos);
  EXPECT_FALSE(Exists("C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs\\Ostrel"));
  EXPECT_TRUE(Running("qalvint.exe"));
}

}  // namespace
}  // namespace app_test
