#include "app/splash_browser_proxy.hpp"

#include <array>
#include <string>
#include <vector>

#include "app/registry_paths.hpp"
#include "app/text_lines.hpp"
#include "platform/machine.hpp"

namespace app {
namespace {

// Saves one DWORD of Internet Settings under its "Old" name while the machine key lacks it.
void SaveOldInteger(framework::TRegistry& internetSettings, framework::TRegistry& machineKey,
                    std::string_view name, std::string_view oldName, bool existingInstall) {
  if (!internetSettings.ValueExists(name) || machineKey.ValueExists(oldName)) return;
  std::int32_t value = internetSettings.ReadInteger(name);
  if (!existingInstall) machineKey.WriteInteger(oldName, value);
}

void SaveOldProxyServer(framework::TRegistry& internetSettings, framework::TRegistry& machineKey) {
  if (machineKey.ValueExists("OldProxyServer")) return;
  std::string current = internetSettings.ReadString("ProxyServer");
  // A server that already points at the local proxy was set by an earlier installation, which
  // kept the user's own server as "OldProxyServer".
  if (current.find(kLocalProxyHost) != std::string::npos &&
      internetSettings.ValueExists("OldProxyServer")) {
    machineKey.WriteString("OldProxyServer", internetSettings.ReadString("OldProxyServer"));
  } else {
    machineKey.WriteString("OldProxyServer", current);
  }
}

void SaveOldProxyEnable(framework::TRegistry& internetSettings, framework::TRegistry& machineKey,
                        bool existingInstall) {
  if (machineKey.ValueExists("OldProxyEnable")) return;
  switch (internetSettings.GetDataType("ProxyEnable")) {
    case framework::TRegDataType::rdString: {
      std::string value = internetSettings.ReadString("ProxyEnable");
      if (!existingInstall) machineKey.WriteString("OldProxyEnable", value);
      break;
    }
    case framework::TRegDataType::rdInteger: {
      std::int32_t value = internetSettings.ReadInteger("ProxyEnable");
      if (!existingInstall) machineKey.WriteInteger("OldProxyEnable", value);
      break;
    }
    case framework::TRegDataType::rdBinary:
      machineKey.WriteBinaryData("OldProxyEnable", internetSettings.ReadBinaryData("ProxyEnable"));
      break;
    default:
      break;
  }
}

// Navigator's proxy type for a manually set proxy, the one that uses the local proxy.
constexpr std::int32_t kManualProxyType = 1;

// A Navigator value that already holds what the redirection sets was set by an earlier
// installation, which saved the user's own value: saving again would replace that with the
// local proxy and leave nothing to restore.
bool KeepsSavedValue(framework::TRegistry& machineKey, std::string_view savedName,
                     bool alreadyRedirected) {
  return alreadyRedirected && machineKey.ValueExists(savedName);
}

// The preference lines RecordNetscapePrefs keeps, each with the substring that selects it.
struct PrefLine {
  std::string_view valueName;
  std::string_view marker;
  std::string line;
};

}  // namespace

void SaveInternetSettings(framework::TRegistry& internetSettings, framework::TRegistry& machineKey,
                          bool existingInstall) {
  internetSettings.SetRootKey(platform::hkey::CurrentUser);
  if (!internetSettings.OpenKey(registry_paths::kInternetSettings, false)) return;
  SaveOldInteger(internetSettings, machineKey, "MigrateProxy", "OldMigrateProxy", existingInstall);
  SaveOldInteger(internetSettings, machineKey, "ProxyHttp1.1", "OldProxyHttp1.1", existingInstall);
  SaveOldProxyServer(internetSettings, machineKey);
  SaveOldProxyEnable(internetSettings, machineKey, existingInstall);
}

void ScanNetscapeProfiles() {
  std::vector<platform::FindData> entries;
  std::string pattern = std::string(kNetscapeUsersFolder) + "*.";
  if (platform::CurrentMachine().files().Find(pattern, entries) != platform::win_error::Success) {
    return;
  }
  for (const platform::FindData& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    RecordNetscapePrefs(std::string(kNetscapeUsersFolder) + entry.name);
  }
}

void RecordNetscapePrefs(std::string_view profileFolder) {
  std::string prefsFile = std::string(profileFolder) + "\\Prefs.JS";
  if (!platform::CurrentMachine().files().Exists(prefsFile)) return;

  // The host marker needs the quote and comma right after "http", so the port line, which
  // starts the same way, matches only the port marker.
  std::array<PrefLine, 4> prefs{{
      {"NSProxyHttp", "network.proxy.http\",", {}},
      {"NSProxyPort", "network.proxy.http_port\"", {}},
      {"NSProxyType", "network.proxy.type\"", {}},
      {"NSProxyCache", "user_pref(\"browser.cache.check_doc_frequency\",", {}},
  }};
  for (const std::string& line : LoadTextLines(prefsFile)) {
    for (PrefLine& pref : prefs) {
      if (line.find(pref.marker) != std::string::npos) pref.line = line;
    }
  }

  framework::TRegistry machineKey;
  machineKey.SetRootKey(platform::hkey::LocalMachine);
  if (!machineKey.OpenKey(registry_paths::kProductKey, false)) return;
  for (const PrefLine& pref : prefs) {
    if (!machineKey.ValueExists(pref.valueName)) machineKey.WriteString(pref.valueName, pref.line);
  }
}

void RedirectNetscapeProxy() {
  framework::TRegistry navigator;
  navigator.SetRootKey(platform::hkey::CurrentUser);
  framework::TRegistry machineKey;
  machineKey.SetRootKey(platform::hkey::LocalMachine);
  bool navigatorOpen = navigator.OpenKey(registry_paths::kNavigatorProxy, false);
  machineKey.OpenKey(registry_paths::kProductKey, true);
  if (!navigatorOpen) return;

  if (navigator.ValueExists("HTTP_Proxy")) {
    std::string host = navigator.ReadString("HTTP_Proxy");
    if (!KeepsSavedValue(machineKey, "NS_Old_HTTP_Proxy", host == kLocalProxyHost)) {
      machineKey.WriteString("NS_Old_HTTP_Proxy", host);
    }
    navigator.WriteString("HTTP_Proxy", kLocalProxyHost);
  }
  if (navigator.ValueExists("HTTP_ProxyPort")) {
    std::int32_t port = navigator.ReadInteger("HTTP_ProxyPort");
    if (!KeepsSavedValue(machineKey, "NS_Old_HTTP_ProxyPort", port == kLocalProxyPort)) {
      machineKey.WriteInteger("NS_Old_HTTP_ProxyPort", port);
    }
    navigator.WriteInteger("HTTP_ProxyPort", kLocalProxyPort);
  }
  if (navigator.ValueExists("Proxy Type")) {
    std::int32_t type = navigator.ReadInteger("Proxy Type");
    if (!KeepsSavedValue(machineKey, "NS_OldProxyType", type == kManualProxyType)) {
      machineKey.WriteInteger("NS_OldProxyType", type);
    }
    navigator.WriteInteger("Proxy Type", kManualProxyType);
  }
}

void MoveOlderReleaseValues(framework::TRegistry& internetSettings,
                            framework::TRegistry& machineKey) {
  for (std::string_view name : {"NSProxyCache", "NSProxyHTTP", "NSProxyPort", "NSProxyType"}) {
    if (!internetSettings.ValueExists(name)) continue;
    machineKey.WriteString(name, internetSettings.ReadString(name));
    internetSettings.DeleteValue(name);
  }
  if (internetSettings.ValueExists("OldAutoDial")) internetSettings.DeleteValue("OldAutoDial");
}

}  // namespace app
