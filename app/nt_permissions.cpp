#include "app/nt_permissions.hpp"

#include <array>

#include "app/registry_paths.hpp"
#include "platform/access_rules.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"
#include "platform/reg_file.hpp"
#include "platform/sddl.hpp"
#include "winsec/mask_translation.hpp"
#include "winsec/nt_exception.hpp"

namespace app {
namespace {

using platform::win_error::FileNotFound;
using platform::win_error::Success;

constexpr std::uint32_t kFileReadWriteExecute = 7;
constexpr std::string_view kProductKeyPath = "SOFTWARE\\KV";
constexpr std::string_view kProductKeyParent = "SOFTWARE";
constexpr std::string_view kRunKeyPath = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";

struct ProductFile {
  std::string_view name;
  bool program;
};
constexpr std::array<ProductFile, 11> kProductFiles = {{
    {"KVconf.dat", false},
    {"KVconf.fpt", false},
    {"KV015.dat", false},
    {"KV025.dat", false},
    {"KV035.dat", false},
    {"KV100.dat", false},
    {"KVLog.dat", false},
    {"KVUS.dat", false},
    {"KVWords.dat", false},
    {"Qalvint.exe", true},
    {"Dorsk6.exe", true},
}};

constexpr std::string_view kSkippedByAdministrator = "left alone as the administrator chose";
constexpr std::string_view kOpenToAll = "its access list is null: everyone has full access already";
constexpr std::string_view kNoEveryoneEntry = "its access list has no entry for Everyone";

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

std::string KeyName(std::string_view path) {
  return "HKEY_LOCAL_MACHINE\\" + std::string(path);
}

bool IsEveryone(const winsec::TAccessItem& item) {
  if (item.Original()) return item.Original()->sid == platform::well_known_sid::Everyone();
  return Upper(item.UserName()) == "EVERYONE";
}

// The DACL of an object as text, read straight from the platform.
std::string DaclText(platform::ErrorCode error, const std::vector<std::uint8_t>& bytes) {
  winsec::CheckSystem(error);
  return platform::DescriptorToSddl(platform::SelectParts(platform::ReadSelfRelative(bytes).value(),
                                                          platform::security_info::Dacl));
}

std::string KeyDacl(std::string_view path) {
  platform::Machine& machine = platform::CurrentMachine();
  platform::KeyHandle key = 0;
  winsec::CheckSystem(machine.registry().OpenKey(platform::hkey::LocalMachine, path,
                                                 platform::access_right::ReadControl, key));
  std::vector<std::uint8_t> buffer(65536 + 1024);
  std::uint32_t needed = 0;
  const platform::ErrorCode error =
      machine.security().GetKeySecurity(key, platform::security_info::Dacl, buffer, needed);
  machine.registry().CloseKey(key);
  buffer.resize(needed);
  return DaclText(error, buffer);
}

std::string FileDacl(const std::string& path) {
  std::vector<std::uint8_t> buffer(65536 + 1024);
  std::uint32_t needed = 0;
  const platform::ErrorCode error = platform::CurrentMachine().security().GetFileSecurity(
      path, platform::security_info::Dacl, buffer, needed);
  buffer.resize(needed);
  return DaclText(error, buffer);
}

bool KeyExists(std::string_view path) {
  platform::Registry& registry = platform::CurrentMachine().registry();
  platform::KeyHandle key = 0;
  if (registry.OpenKey(platform::hkey::LocalMachine, path, platform::key_access::QueryValue, key) !=
      Success)
    return false;
  registry.CloseKey(key);
  return true;
}

void RequireChangeableKey(std::string_view path) {
  platform::Registry& registry = platform::CurrentMachine().registry();
  platform::KeyHandle key = 0;
  const platform::ErrorCode error =
      registry.OpenKey(platform::hkey::LocalMachine, path,
                       platform::access_right::ReadControl | platform::access_right::WriteDac, key);
  if (error == Success) {
    registry.CloseKey(key);
    return;
  }
  throw platform::Exception("Setup cannot change who may use " + KeyName(path) + " (" +
                            winsec::ENTException::System(error).what() +
                            "). Run Setup as an administrator.");
}

PermissionChange WidenKey(winsec::TNTRegSecurity& reg, std::string_view path) {
  PermissionChange change{KeyName(path), {}, {}, {}};
  if (!KeyExists(path)) {
    change.unchangedBecause = "the key does not exist";
    return change;
  }
  reg.SetRootKey(platform::hkey::LocalMachine);
  reg.SetCurrentPath(std::string(path));
  change.before = KeyDacl(path);
  if (!reg.ControlAccess()) {
    change.unchangedBecause = kOpenToAll;
    return change;
  }
  winsec::TAllowedList& allowed = reg.AccessAllowed();
  const std::size_t count = allowed.Count();
  bool found = false;
  for (std::size_t i = 0; i < count; ++i) {
    // Each change re-reads the list: fetch the item again by its place.
    winsec::TAccessItem& item = reg.AccessAllowed().Item(i);
    if (!IsEveryone(item)) continue;
    found = true;
    item.SetFlags(0);
    reg.AccessAllowed().Item(i).SetMask(winsec::kFullControl);
  }
  if (!found) change.unchangedBecause = kNoEveryoneEntry;
  change.after = KeyDacl(path);
  return change;
}

PermissionChange WidenFile(winsec::TNTFileSecurity& file, const std::string& path) {
  PermissionChange change{path, {}, {}, {}};
  file.SetFileName(path);
  change.before = FileDacl(path);
  if (!file.ControlAccess()) {
    change.unchangedBecause = kOpenToAll;
    return change;
  }
  // By its SID, which every Windows knows whatever it calls the group.
  file.AccessAllowed().Add(platform::well_known_sid::Everyone().Text(), kFileReadWriteExecute, 0);
  change.after = FileDacl(path);
  return change;
}

}  // namespace

std::string PermissionChange::Text() const {
  if (!unchangedBecause.empty()) return object + ": unchanged, " + unchangedBecause;
  return object + ": " + before + " -> " + after;
}

void CheckNtPermissionsPossible(const NtWidening& widening) {
  platform::Security& security = platform::CurrentMachine().security();
  std::string name;
  std::string domain;
  platform::SidUse use{};
  const platform::ErrorCode error = security.LookupAccountSid(
      "", platform::well_known_sid::Everyone().Bytes(), name, domain, use);
  if (error != Success)
    throw platform::Exception(
        std::string("Setup cannot find the group Everyone on this machine (") +
        winsec::ENTException::System(error).what() + ").");
  RequireChangeableKey(KeyExists(kProductKeyPath) ? kProductKeyPath : kProductKeyParent);
  if (widening.runKey && KeyExists(kRunKeyPath)) RequireChangeableKey(kRunKeyPath);
}

std::vector<PermissionChange> SetNtPermissions(TNTStuffForm& form, const std::string& systemDir,
                                               const NtWidening& widening) {
  std::vector<PermissionChange> changes;
  changes.push_back(WidenKey(form.NTReg1, kProductKeyPath));
  if (widening.runKey)
    changes.push_back(WidenKey(form.NTReg1, kRunKeyPath));
  else
    changes.push_back({KeyName(kRunKeyPath), {}, {}, std::string(kSkippedByAdministrator)});

  // Drive C: is asked, whatever drive holds the system folder.
  form.NTFS1.SetFileName("c:\\");
  const std::string fileSystem = form.NTFS1.FileSystem();
  for (const auto& file : kProductFiles) {
    const std::string path = platform::PathJoin(systemDir, file.name);
    if (Upper(fileSystem) != "NTFS")
      changes.push_back(
          {path, {}, {}, "drive C: is " + fileSystem + ", which keeps no access lists"});
    else if (file.program && !widening.programs)
      changes.push_back({path, {}, {}, std::string(kSkippedByAdministrator)});
    else
      changes.push_back(WidenFile(form.NTFS1, path));
  }
  return changes;
}

}  // namespace app
