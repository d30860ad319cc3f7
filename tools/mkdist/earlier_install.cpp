#include "tools/mkdist/earlier_install.hpp"

#include <cctype>

#include "framework/registry/registry.hpp"
#include "platform/exception.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"
#include "tools/mkdist/dist_contents.hpp"

namespace mkdist {
namespace {

// Of the shipped list, the earlier release had this many sites; every seventh was deleted.
constexpr int kEarlierShippedSites = 600;
constexpr int kDeletedEvery = 7;

void WriteProgram(std::string_view folder, std::string_view name, const std::string& what) {
  const std::string path = platform::PathJoin(folder, name);
  std::unique_ptr<platform::File> file;
  platform::ErrorCode error = platform::CurrentMachine().files().Open(
      path, platform::file_access::GenericRead | platform::file_access::GenericWrite,
      platform::file_share::None, platform::Disposition::CreateAlways, file);
  const std::vector<std::uint8_t> bytes = ProgramStub(what);
  std::uint32_t written = 0;
  if (error == platform::win_error::Success) {
    error = file->WriteAt(0, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
  }
  if (error != platform::win_error::Success || written != bytes.size()) {
    throw platform::Exception("Cannot write \"" + path + "\" (Windows error " +
                              std::to_string(error) + ")");
  }
}

void OpenOrFail(framework::TRegistry& registry, std::string_view path) {
  if (!registry.OpenKey(path, true)) {
    throw platform::Exception("Cannot create the registry key " + std::string(path));
  }
}

void PutRegistryKeys() {
  framework::TRegistry machine;
  machine.SetRootKey(platform::hkey::LocalMachine);
  OpenOrFail(machine, "\\Software\\KV");
  machine.WriteBool("Sound", false);
  machine.WriteBool("SendToProxy", false);
  machine.WriteString("ProxyHost", "");
  machine.WriteInteger("ProxyPort", 80);
  machine.WriteInteger("IdleTimeOut", 20);
  machine.WriteString("DefaultUser", "PARENT");
  machine.WriteInteger("ServerType", 1);
  machine.WriteBool("UpdateNoAsk", true);
  machine.WriteBool("UpdateNow", false);
  machine.WriteBool("FirstHit", false);
  machine.WriteString("LastUp", "19990301");
  OpenOrFail(machine, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  machine.WriteString("Qalvint", "qalvint");
  machine.CloseKey();

  framework::TRegistry perUser;
  perUser.SetRootKey(platform::hkey::CurrentUser);
  OpenOrFail(perUser, "\\Software\\KV");
  perUser.WriteBool("Sound", true);
  perUser.WriteInteger("IdleTimeOut", 10);
  perUser.CloseKey();
}

}  // namespace

std::string MixedCase(std::string_view site) {
  std::string mixed(site);
  for (std::size_t i = 0; i < mixed.size(); i += 2)
    mixed[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(mixed[i])));
  return mixed;
}

std::vector<SiteEntry> EarlierSiteEntries(const SiteListName& list) {
  std::vector<SiteEntry> entries = ShippedSites({list.name, kEarlierShippedSites});
  for (std::size_t i = 0; i < entries.size(); i += kDeletedEvery)
    entries[i].deleted = true;
  const std::string own = std::string(list.name);
  // A shipped site (the first is deleted) that the user blocked too: the new list has it,
  // spelled the same, so the import updates it there.
  entries.push_back({entries[1].site, "Y", "AB"});
  entries.push_back({"www.My-Own-" + own + "-Block.com", "Y", "AB"});
  entries.push_back({"own-" + own + "-lower.net", "Y", "V"});
  entries.push_back({"www.Removed-" + own + ".org", "Y", "H", true});
  entries.push_back({"own-" + own + "-no-reason.net", "Y", ""});
  // Another shipped site, which the user wrote in mixed case.
  entries.push_back({MixedCase(entries[2].site), "Y", "RV"});
  return entries;
}

std::vector<UserAccount> EarlierAccounts() {
  std::vector<UserAccount> accounts = ShippedAccounts();
  accounts[0].password = std::string(kEarlierParentPassword);
  accounts[1].blocked = {true, true, false, true, false, true, false};
  UserAccount kids{"KIDS", "CRAYON", "Grade 3", false, true, true, {}};
  kids.blocked.fill(true);
  accounts.push_back(kids);
  return accounts;
}

void PutEarlierInstallation() {
  const std::string systemFolder = platform::CurrentMachine().program().SystemFolder();
  for (const SiteListName& list : kSiteLists) {
    if (list.name == kMissingEarlierList) continue;
    WriteTable(systemFolder, SiteListRecipe(list.name, EarlierSiteEntries(list)));
  }
  WriteTable(systemFolder, UsersRecipe(UsersLayout::OlderRelease, EarlierAccounts()));
  WriteTable(systemFolder, LogRecipe());
  WriteTable(systemFolder, KeywordRecipe({"casino", "jackpot", "my-own-word"}));
  WriteProgram(systemFolder, "Qalvint.exe", "Korvane filtering proxy (earlier release)");
  WriteProgram(systemFolder, "Dorsk6.exe", "Korvane account manager (earlier release)");
  PutRegistryKeys();
}

}  // namespace mkdist
