#include "platform/sim/security_defaults.hpp"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/sddl.hpp"

namespace platform::sim {
namespace {

constexpr std::uint32_t kMachineDomain[] = {21, 1214440339, 1957994488, 1801674531};

Sid MachineSid(std::uint32_t relativeId) {
  Sid sid = MakeSid(5, {});
  sid.subAuthorities.assign(std::begin(kMachineDomain), std::end(kMachineDomain));
  sid.subAuthorities.push_back(relativeId);
  return sid;
}

constexpr std::uint32_t kAdministrator = 500;
constexpr std::uint32_t kGuest = 501;
constexpr std::uint32_t kNone = 513;
constexpr std::uint32_t kFirstUser = 1000;

// The account letters written in the tables below and the SIDs they stand for.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kAliases = {{
    {"WD", "S-1-1-0"},
    {"CO", "S-1-3-0"},
    {"AU", "S-1-5-11"},
    {"SY", "S-1-5-18"},
    {"BA", "S-1-5-32-544"},
    {"BU", "S-1-5-32-545"},
    {"PU", "S-1-5-32-547"},
    {"IU", "S-1-5-4"},
}};

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

SecurityDescriptor Descriptor(std::string text) {
  for (const auto& [alias, sid] : kAliases) {
    ReplaceAll(text, ";" + std::string(alias) + ")", ";" + std::string(sid) + ")");
    ReplaceAll(text, "O:" + std::string(alias), "O:" + std::string(sid));
  }
  return DescriptorFromSddl(text);
}

struct DefaultObject {
  ObjectKind kind;
  std::string path;
  std::string sddl;
};

std::vector<DefaultObject> Nt4Objects(const MachineConfig& config) {
  const std::string folders =
      "O:BAD:P(A;OICI;0x001F01FF;;;BA)(A;OICI;0x001F01FF;;;SY)(A;OICIIO;0x10000000;;;CO)"
      "(A;OICI;0x001301BF;;;WD)";
  return {
      {ObjectKind::File, "C:\\", "O:BAD:(A;OICI;0x001F01FF;;;WD)"},
      {ObjectKind::File, config.windowsFolder, folders},
      {ObjectKind::File, config.systemFolder, folders},
      {ObjectKind::Key, "HKEY_LOCAL_MACHINE\\SOFTWARE",
       "O:BAD:P(A;CI;0x000F003F;;;BA)(A;CI;0x000F003F;;;SY)(A;CIIO;0x10000000;;;CO)"
       "(A;CI;0x00020019;;;WD)"},
  };
}

std::vector<DefaultObject> Windows2000Objects(const MachineConfig& config) {
  const std::string folders =
      "O:BAD:PAI(A;OICI;0x001F01FF;;;BA)(A;OICI;0x001F01FF;;;SY)(A;OICIIO;0x10000000;;;CO)"
      "(A;OICI;0x001301BF;;;PU)(A;OICI;0x001200A9;;;BU)";
  return {
      {ObjectKind::File, "C:\\", "O:BAD:(A;OICI;0x001F01FF;;;WD)"},
      {ObjectKind::File, config.windowsFolder, folders},
      {ObjectKind::File, config.systemFolder, folders},
      {ObjectKind::Key, "HKEY_LOCAL_MACHINE\\SOFTWARE",
       "O:BAD:PAI(A;CI;0x000F003F;;;BA)(A;CI;0x000F003F;;;SY)(A;CIIO;0x10000000;;;CO)"
       "(A;CI;0x0003001F;;;PU)(A;CI;0x00020019;;;BU)(A;CI;0x00020019;;;WD)"},
  };
}

void DropEveryone(SecurityDescriptor& descriptor) {
  auto& aces = descriptor.dacl.aces;
  aces.erase(std::remove_if(aces.begin(), aces.end(),
                            [](const Ace& ace) { return ace.sid == well_known_sid::Everyone(); }),
             aces.end());
}

}  // namespace

std::vector<SimAccount> DefaultAccounts(const MachineConfig& config) {
  using namespace well_known_sid;
  const std::string& machine = config.computerName;
  return {
      {Everyone(), "", "Everyone", SidUse::WellKnownGroup},
      {CreatorOwner(), "", "CREATOR OWNER", SidUse::WellKnownGroup},
      {Network(), "NT AUTHORITY", "NETWORK", SidUse::WellKnownGroup},
      {Interactive(), "NT AUTHORITY", "INTERACTIVE", SidUse::WellKnownGroup},
      {AuthenticatedUsers(), "NT AUTHORITY", "Authenticated Users", SidUse::WellKnownGroup},
      {LocalSystem(), "NT AUTHORITY", "SYSTEM", SidUse::WellKnownGroup},
      {Administrators(), "BUILTIN", "Administrators", SidUse::Alias},
      {Users(), "BUILTIN", "Users", SidUse::Alias},
      {PowerUsers(), "BUILTIN", "Power Users", SidUse::Alias},
      {MachineSid(kAdministrator), machine, "Administrator", SidUse::User},
      {MachineSid(kGuest), machine, "Guest", SidUse::User},
      {MachineSid(kNone), machine, "None", SidUse::Group},
      {MachineSid(kFirstUser), machine, config.userName, SidUse::User},
  };
}

SimToken DefaultToken(bool plainUser) {
  using namespace well_known_sid;
  SimToken token;
  token.primaryGroup = MachineSid(kNone);
  token.enabled = {"SeChangeNotifyPrivilege"};
  if (plainUser) {
    token.user = MachineSid(kFirstUser);
    token.owner = token.user;
    token.groups = {Everyone(), Users(), Interactive(), AuthenticatedUsers()};
    token.privileges = {"SeShutdownPrivilege"};
  } else {
    token.user = MachineSid(kAdministrator);
    token.owner = Administrators();
    token.groups = {Everyone(), Administrators(), Users(), Interactive(), AuthenticatedUsers()};
    token.privileges = {"SeSecurityPrivilege", "SeBackupPrivilege", "SeRestorePrivilege",
                        "SeTakeOwnershipPrivilege", "SeShutdownPrivilege"};
  }
  return token;
}

SecurityStore DefaultSecurity(const MachineConfig& config, const SecurityChoices& choices) {
  SecurityStore store;
  store.accounts = DefaultAccounts(config);
  store.token = DefaultToken(choices.plainUser);
  const auto objects = config.version.major >= 5 ? Windows2000Objects(config) : Nt4Objects(config);
  for (const auto& object : objects) {
    SecurityDescriptor descriptor = Descriptor(object.sddl);
    if (!choices.withEveryone) DropEveryone(descriptor);
    store.Set(object.kind, object.path, descriptor);
  }
  return store;
}

}  // namespace platform::sim
