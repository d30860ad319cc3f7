#pragma once
// The product's settings in the product key: values carried over from an earlier installation,
// the settings written at the end of the installation and the start-with-Windows entry.
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/registry/registry.hpp"

namespace app {

struct CarriedSettings {
  bool sound = false;
  bool sendToProxy = false;
  std::string proxyHost;
  std::int32_t proxyPort = 0;
  std::int32_t idleTimeOut = 0;
  std::int32_t serverType = 0;
  bool updateNoAsk = false;
};

// Reads the carried values present in the open key, in the per-user key's order (IdleTimeOut
// before ProxyPort) or the machine key's (ProxyPort first). A value of another type raises.
enum class CarryOrder { PerUserKey, MachineKey };
void ReadCarriedSettings(framework::TRegistry& key, CarryOrder order, CarriedSettings& carried);

// Carries the values of the older release's per-user key over and deletes that key.
void CarryPerUserSettings(CarriedSettings& carried);

// Registers the filter program in the machine's Run key when that key exists.
void RegisterFilterProgram();

// Writes the product settings into the machine key (opened with create on `machineKey`) and
// closes it. "LastUp" is the date of the site list being installed.
void WriteProductSettings(framework::TRegistry& machineKey, const CarriedSettings& carried,
                          bool existingInstall, std::string_view setupDir);

// The last-write date of the setup folder's site list "KV015.dat" as "yyyymmdd". A missing
// site list raises platform::Exception with SiteListMissingMessage.
std::string SiteListDate(std::string_view setupDir);
// Raises that error when the site list is not in the setup folder.
void CheckSiteListPresent(std::string_view setupDir);
std::string SiteListMissingMessage(std::string_view setupDir);

}  // namespace app
