#include "platform/sim/security_store.hpp"

#include <array>

#include "platform/exception.hpp"
#include "platform/ini_text.hpp"
#include "platform/sddl.hpp"

namespace platform::sim {
namespace {

constexpr std::string_view kFilePrefix = "File ";
constexpr std::string_view kKeyPrefix = "Key ";

constexpr std::array<std::pair<std::string_view, SidUse>, 9> kUses = {{
    {"User", SidUse::User},
    {"Group", SidUse::Group},
    {"Domain", SidUse::Domain},
    {"Alias", SidUse::Alias},
    {"WellKnownGroup", SidUse::WellKnownGroup},
    {"DeletedAccount", SidUse::DeletedAccount},
    {"Invalid", SidUse::Invalid},
    {"Unknown", SidUse::Unknown},
    {"Computer", SidUse::Computer},
}};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  if (text.empty()) return parts;
  while (true) {
    const auto comma = text.find(',');
    auto part = text.substr(0, comma);
    while (!part.empty() && part.front() == ' ')
      part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ')
      part.remove_suffix(1);
    parts.push_back(part);
    if (comma == std::string_view::npos) return parts;
    text.remove_prefix(comma + 1);
  }
}

class Reader {
 public:
  explicit Reader(std::string_view source) : source_(source) {}

  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw Exception(std::string(source_) + ", line " + std::to_string(line) + ": " + what);
  }

  Sid ReadSid(std::string_view text, int line) const {
    auto sid = ParseSidText(text);
    if (!sid) Fail(line, "\"" + std::string(text) + "\" is not a SID");
    return *sid;
  }

  void ReadAccounts(const IniSection& section, SecurityStore& store) const {
    for (const auto& entry : section.entries) {
      const auto parts = SplitAtCommas(entry.value);
      if (parts.size() != 3) Fail(entry.line, "an account is written SID=domain,name,use");
      SimAccount account{ReadSid(entry.key, entry.line), std::string(parts[0]),
                         std::string(parts[1]), SidUse::User};
      bool known = false;
      for (const auto& [name, use] : kUses)
        if (SameIniName(name, parts[2])) {
          account.use = use;
          known = true;
        }
      if (!known) Fail(entry.line, "unknown account use \"" + std::string(parts[2]) + "\"");
      store.accounts.push_back(std::move(account));
    }
  }

  void ReadToken(const IniSection& section, SimToken& token) const {
    const auto single = [&](std::string_view key, Sid& sid) {
      const IniEntry* entry = section.Find(key);
      if (!entry) Fail(section.line, "[Token] needs " + std::string(key) + "=");
      sid = ReadSid(entry->value, entry->line);
    };
    single("User", token.user);
    single("Owner", token.owner);
    single("PrimaryGroup", token.primaryGroup);
    if (const IniEntry* groups = section.Find("Groups"))
      for (auto part : SplitAtCommas(groups->value))
        token.groups.push_back(ReadSid(part, groups->line));
    const auto names = [&](std::string_view key, std::vector<std::string>& list) {
      if (const IniEntry* entry = section.Find(key))
        for (auto part : SplitAtCommas(entry->value))
          list.emplace_back(part);
    };
    names("Privileges", token.privileges);
    names("Enabled", token.enabled);
  }

  void ReadObject(const IniSection& section, ObjectKind kind, std::string_view path,
                  SecurityStore& store) const {
    const IniEntry* entry = section.Find("SD");
    if (!entry) Fail(section.line, "[" + section.name + "] needs SD=");
    try {
      store.Set(kind, path, DescriptorFromSddl(entry->value));
    } catch (const Exception& error) {
      Fail(entry->line, error.what());
    }
  }

 private:
  std::string_view source_;
};

}  // namespace

std::vector<Sid> SimToken::Sids() const {
  std::vector<Sid> sids{user};
  sids.insert(sids.end(), groups.begin(), groups.end());
  return sids;
}

std::string SecurityStore::ObjectKey(ObjectKind kind, std::string_view path) {
  return (kind == ObjectKind::File ? "F:" : "K:") + Upper(path);
}

const SecurityDescriptor* SecurityStore::Find(ObjectKind kind, std::string_view path) const {
  const auto found = objects.find(ObjectKey(kind, path));
  return found == objects.end() ? nullptr : &found->second.descriptor;
}

void SecurityStore::Set(ObjectKind kind, std::string_view path,
                        const SecurityDescriptor& descriptor) {
  objects[ObjectKey(kind, path)] = Object{std::string(path), descriptor};
}

void SecurityStore::Drop(ObjectKind kind, std::string_view path) {
  const std::string key = ObjectKey(kind, path);
  const std::string below = key + "\\";
  for (auto it = objects.begin(); it != objects.end();)
    it = (it->first == key || it->first.rfind(below, 0) == 0) ? objects.erase(it) : std::next(it);
}

void SecurityStore::Move(ObjectKind kind, std::string_view from, std::string_view to) {
  const std::string key = ObjectKey(kind, from);
  const std::string below = key + "\\";
  std::vector<Object> moved;
  for (auto it = objects.begin(); it != objects.end();) {
    if (it->first == key || it->first.rfind(below, 0) == 0) {
      Object object = std::move(it->second);
      object.path = std::string(to) + object.path.substr(from.size());
      moved.push_back(std::move(object));
      it = objects.erase(it);
    } else {
      ++it;
    }
  }
  for (auto& object : moved)
    Set(kind, object.path, object.descriptor);
}

SecurityStore ParseSecurityIni(std::string_view text, std::string_view source) {
  const IniDocument document = ParseIni(text, source);
  const Reader reader(source);
  SecurityStore store;
  bool hasToken = false;
  for (const auto& section : document.sections) {
    const std::string_view name = section.name;
    if (SameIniName(name, "Accounts")) {
      reader.ReadAccounts(section, store);
    } else if (SameIniName(name, "Token")) {
      reader.ReadToken(section, store.token);
      hasToken = true;
    } else if (SameIniName(name.substr(0, kFilePrefix.size()), kFilePrefix)) {
      reader.ReadObject(section, ObjectKind::File, name.substr(kFilePrefix.size()), store);
    } else if (SameIniName(name.substr(0, kKeyPrefix.size()), kKeyPrefix)) {
      reader.ReadObject(section, ObjectKind::Key, name.substr(kKeyPrefix.size()), store);
    } else {
      reader.Fail(section.line, "unknown section [" + section.name + "]");
    }
  }
  if (!hasToken) throw Exception(std::string(source) + ": the [Token] section is missing");
  return store;
}

std::string WriteSecurityIni(const SecurityStore& store) {
  IniDocument document;
  IniSection& accounts = document.AddSection("Accounts");
  for (const auto& account : store.accounts) {
    std::string_view use = "Unknown";
    for (const auto& [name, value] : kUses)
      if (value == account.use) use = name;
    accounts.Add(account.sid.Text(), account.domain + "," + account.name + "," + std::string(use));
  }
  IniSection& token = document.AddSection("Token");
  const auto list = [](const auto& items, auto text) {
    std::string joined;
    for (const auto& item : items)
      joined += (joined.empty() ? "" : ",") + text(item);
    return joined;
  };
  token.Add("User", store.token.user.Text());
  token.Add("Owner", store.token.owner.Text());
  token.Add("PrimaryGroup", store.token.primaryGroup.Text());
  token.Add("Groups", list(store.token.groups, [](const Sid& sid) { return sid.Text(); }));
  token.Add("Privileges", list(store.token.privileges, [](const std::string& s) { return s; }));
  token.Add("Enabled", list(store.token.enabled, [](const std::string& s) { return s; }));
  for (const auto& [key, object] : store.objects) {
    const bool file = key[0] == 'F';
    IniSection& section =
        document.AddSection(std::string(file ? kFilePrefix : kKeyPrefix) + object.path);
    section.Add("SD", DescriptorToSddl(object.descriptor));
  }
  return document.Write(
      "Owners and access lists of this simulated machine (SDDL, masks in hexadecimal)");
}

}  // namespace platform::sim
