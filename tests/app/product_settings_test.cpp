#include "app/splash_product_settings.hpp"

#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

using platform::hkey::CurrentUser;
using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";
constexpr std::string_view kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class ProductSettingsTest : public SimMachineTest {
 protected:
  void SetUp() override { MakeMachine("win98"); }

  void Write(const app::CarriedSettings& carried, bool existingInstall) {
    framework::TRegistry machineKey;
    app::WriteProductSettings(machineKey, carried, existingInstall, kSetupDir);
    EXPECT_EQ(machineKey.CurrentKey(), 0u) << "the machine key is closed afterwards";
  }
};

TEST_F(ProductSettingsTest, PerUserValuesAreCarriedAndTheKeyDeleted) {
  SetDword(CurrentUser, kKV, "Sound", 1);
  SetDword(CurrentUser, kKV, "SendToProxy", 1);
  SetString(CurrentUser, kKV, "ProxyHost", "10.0.0.1");
  SetDword(CurrentUser, kKV, "ProxyPort", 3128);
  SetDword(CurrentUser, kKV, "IdleTimeOut", 15);
  SetDword(CurrentUser, kKV, "ServerType", 2);
  SetDword(CurrentUser, kKV, "UpdateNoAsk", 1);
  SetString(CurrentUser, "Software\\KV\\Sub", "x", "y");

  app::CarriedSettings carried;
  app::CarryPerUserSettings(carried);
  EXPECT_TRUE(carried.sound);
  EXPECT_TRUE(carried.sendToProxy);
  EXPECT_EQ(carried.proxyHost, "10.0.0.1");
  EXPECT_EQ(carried.proxyPort, 3128);
  EXPECT_EQ(carried.idleTimeOut, 15);
  EXPECT_EQ(carried.serverType, 2);
  EXPECT_TRUE(carried.updateNoAsk);
  EXPECT_FALSE(KeyExists(CurrentUser, kKV));
  EXPECT_TRUE(KeyExists(CurrentUser, "Software"));
}

TEST_F(ProductSettingsTest, WithoutAPerUserKeyNothingIsCarried) {
  app::CarriedSettings carried;
  carried.proxyHost = "kept";
  app::CarryPerUserSettings(carried);
  EXPECT_EQ(carried.proxyHost, "kept");
  EXPECT_FALSE(carried.sound);
}

TEST_F(ProductSettingsTest, MachineValuesReplaceThePerUserOnesThatExist) {
  SetDword(LocalMachine, kKV, "proxyport", 8080);  // tested as "proxyport", any case
  SetDword(LocalMachine, kKV, "Sound", 0);
  app::CarriedSettings carried;
  carried.sound = true;
  carried.idleTimeOut = 9;
  framework::TRegistry machineKey;
  machineKey.SetRootKey(LocalMachine);
  ASSERT_TRUE(machineKey.OpenKey(kKV, false));
  app::ReadCarriedSettings(machineKey, app::CarryOrder::MachineKey, carried);
  EXPECT_EQ(carried.proxyPort, 8080);
  EXPECT_FALSE(carried.sound);
  EXPECT_EQ(carried.idleTimeOut, 9);
}

TEST_F(ProductSettingsTest, TheReadingOrderDecidesWhichWrongTypeIsReported) {
  SetString(CurrentUser, kKV, "IdleTimeOut", "5");
  SetString(CurrentUser, kKV, "ProxyPort", "80");
  struct Case {
    app::CarryOrder order;
    const char* message;
  };
  for (const Case& c : {Case{app::CarryOrder::PerUserKey, "Invalid data type for 'IdleTimeOut'"},
                        Case{app::CarryOrder::MachineKey, "Invalid data type for 'ProxyPort'"}}) {
    framework::TRegistry key;
    ASSERT_TRUE(key.OpenKey(kKV, false));
    app::CarriedSettings carried;
    try {
      app::ReadCarriedSettings(key, c.order, carried);
      ADD_FAILURE() << "no exception";
    } catch (const framework::ERegistryException& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST_F(ProductSettingsTest, SettingsOfANewInstallation) {
  app::CarriedSettings carried;
  carried.sendToProxy = true;
  carried.proxyHost = "10.1.1.1";
  carried.proxyPort = 3128;
  Write(carried, false);
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 1u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "SendToProxy"), 1u);
  EXPECT_EQ(String(LocalMachine, kKV, "ProxyHost"), "10.1.1.1");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), 3128u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "IdleTimeOut"), 5u);
  EXPECT_EQ(String(LocalMachine, kKV, "DefaultUser"), "GUEST");
  EXPECT_EQ(Dword(LocalMachine, kKV, "ServerType"), 0u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "UpdateNoAsk"), 0u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "UpdateNow"), 0u);
  EXPECT_EQ(Dword(LocalMachine, kKV, "FirstHit"), 0u);
  EXPECT_EQ(String(LocalMachine, kKV, "LastUp"), app::SiteListDate(kSetupDir));
}

TEST_F(ProductSettingsTest, CarriedNumbersOutOfRangeGetTheirDefaults) {
  struct Case {
    std::int32_t carried;
    std::uint32_t port, idle, server;
  };
  const Case cases[] = {
      {0, 80, 5, 0},
      {-4, 80, 5, 0},
      {1, 1, 1, 1},
      {6711, 6711, 6711, 6711},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.carried);
    app::CarriedSettings carried;
    carried.proxyPort = carried.idleTimeOut = carried.serverType = c.carried;
    Write(carried, true);
    EXPECT_EQ(Dword(LocalMachine, kKV, "ProxyPort"), c.port);
    EXPECT_EQ(Dword(LocalMachine, kKV, "IdleTimeOut"), c.idle);
    EXPECT_EQ(Dword(LocalMachine, kKV, "ServerType"), c.server);
  }
}

TEST_F(ProductSettingsTest, ExistingInstallationKeepsItsSoundAndDefaultUser) {
  SetString(LocalMachine, kKV, "DefaultUser", "KIDS");
  app::CarriedSettings carried;
  Write(carried, true);
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 0u);
  EXPECT_EQ(String(LocalMachine, kKV, "DefaultUser"), "KIDS");
  carried.sound = true;
  Write(carried, true);
  EXPECT_EQ(Dword(LocalMachine, kKV, "Sound"), 1u);
}

TEST_F(ProductSettingsTest, LastUpIsTheSiteListsDate) {
  std::string date = app::SiteListDate(kSetupDir);
  std::vector<platform::FindData> found;
  ASSERT_EQ(Machine().files().Find("C:\\KVSETUP\\kv015.DAT", found), 0u);
  platform::LocalTime local = platform::FileTimeToLocal(found.at(0).lastWriteTime);
  char expected[16];
  std::snprintf(expected, sizeof expected, "%04d%02d%02d", local.year, local.month, local.day);
  EXPECT_EQ(date, expected);
  EXPECT_EQ(date.size(), 8u);
}

TEST_F(ProductSettingsTest, AMissingSiteListIsAClearError) {
  Remove("C:\\KVSETUP\\KV015.dat");
  const std::string message =
      "Setup cannot find the site list \"KV015.dat\" in C:\\KVSETUP.  Please run Setup from the "
      "folder that holds the Korvane files.";
  try {
    app::CheckSiteListPresent(kSetupDir);
    ADD_FAILURE() << "no exception";
  } catch (const platform::Exception& error) {
    EXPECT_EQ(error.what(), message);
  }
  EXPECT_THROW(app::SiteListDate(kSetupDir), platform::Exception);
}

TEST_F(ProductSettingsTest, TheFilterProgramIsRegisteredWhenTheRunKeyExists) {
  app::RegisterFilterProgram();
  EXPECT_EQ(String(LocalMachine, kRun, "Qalvint"), "qalvint");

  DeleteKey(LocalMachine, kRun);
  app::RegisterFilterProgram();
  EXPECT_FALSE(KeyExists(LocalMachine, kRun));
}

}  // namespace
}  // namespace app_test
