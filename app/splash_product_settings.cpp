#include "app/splash_product_settings.hpp"

#include <cstdio>
#include <vector>

#include "app/registry_paths.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace app {
namespace {

constexpr std::string_view kSiteList = "KV015.dat";

void ReadSound(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("Sound")) carried.sound = key.ReadBool("Sound");
}
void ReadSendToProxy(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("SendToProxy")) carried.sendToProxy = key.ReadBool("SendToProxy");
}
void ReadProxyHost(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("ProxyHost")) carried.proxyHost = key.ReadString("ProxyHost");
}
void ReadProxyPort(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("proxyport")) carried.proxyPort = key.ReadInteger("ProxyPort");
}
void ReadIdleTimeOut(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("IdleTimeOut")) carried.idleTimeOut = key.ReadInteger("IdleTimeOut");
}
void ReadServerType(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("ServerType")) carried.serverType = key.ReadInteger("ServerType");
}
void ReadUpdateNoAsk(framework::TRegistry& key, CarriedSettings& carried) {
  if (key.ValueExists("UpdateNoAsk")) carried.updateNoAsk = key.ReadBool("UpdateNoAsk");
}

}  // namespace

void ReadCarriedSettings(framework::TRegistry& key, CarryOrder order, CarriedSettings& carried) {
  ReadSound(key, carried);
  ReadSendToProxy(key, carried);
  ReadProxyHost(key, carried);
  if (order == CarryOrder::PerUserKey) {
    ReadIdleTimeOut(key, carried);
    ReadProxyPort(key, carried);
  } else {
    ReadProxyPort(key, carried);
    ReadIdleTimeOut(key, carried);
  }
  ReadServerType(key, carried);
  ReadUpdateNoAsk(key, carried);
}

void CarryPerUserSettings(CarriedSettings& carried) {
  framework::TRegistry perUser;
  perUser.SetRootKey(platform::hkey::CurrentUser);
  if (!perUser.OpenKey(registry_paths::kProductKeyFromRoot, false)) return;
  ReadCarriedSettings(perUser, CarryOrder::PerUserKey, carried);
  perUser.DeleteKey(registry_paths::kProductKeyFromRoot);
  perUser.CloseKey();
}

void RegisterFilterProgram() {
  framework::TRegistry run;
  run.SetRootKey(platform::hkey::LocalMachine);
  if (run.OpenKey(registry_paths::kRunKey, false)) run.WriteString("Qalvint", "qalvint");
  run.CloseKey();
}

void WriteProductSettings(framework::TRegistry& machineKey, const CarriedSettings& carried,
                          bool existingInstall, std::string_view setupDir) {
  machineKey.SetRootKey(platform::hkey::LocalMachine);
  machineKey.OpenKey(registry_paths::kProductKeyFromRoot, true);
  machineKey.WriteBool("Sound", existingInstall ? carried.sound : true);
  machineKey.WriteBool("SendToProxy", carried.sendToProxy);
  machineKey.WriteString("ProxyHost", carried.proxyHost);
  machineKey.WriteInteger("ProxyPort", carried.proxyPort > 0 ? carried.proxyPort : 80);
  machineKey.WriteInteger("IdleTimeOut", carried.idleTimeOut > 0 ? carried.idleTimeOut : 5);
  if (!machineKey.ValueExists("DefaultUser")) machineKey.WriteString("DefaultUser", "GUEST");
  machineKey.WriteInteger("ServerType", carried.serverType > 0 ? carried.serverType : 0);
  machineKey.WriteBool("UpdateNoAsk", carried.updateNoAsk);
  machineKey.WriteBool("UpdateNow", false);
  machineKey.WriteBool("FirstHit", false);
  machineKey.WriteString("LastUp", SiteListDate(setupDir));
  machineKey.CloseKey();
}

std::string SiteListMissingMessage(std::string_view setupDir) {
  return "Setup cannot find the site list \"" + std::string(kSiteList) + "\" in " +
         std::string(setupDir) +
         ".  Please run Setup from the folder that holds the Korvane files.";
}

void CheckSiteListPresent(std::string_view setupDir) {
  if (!platform::CurrentMachine().files().Exists(platform::PathJoin(setupDir, kSiteList))) {
    throw platform::Exception(SiteListMissingMessage(setupDir));
  }
}

std::string SiteListDate(std::string_view setupDir) {
  std::vector<platform::FindData> found;
  if (platform::CurrentMachine().files().Find(platform::PathJoin(setupDir, kSiteList), found) !=
          platform::win_error::Success ||
      found.empty()) {
    throw platform::Exception(SiteListMissingMessage(setupDir));
  }
  platform::LocalTime date = platform::FileTimeToLocal(found.front().lastWriteTime);
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

}  // namespace app
