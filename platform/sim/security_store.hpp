#pragma once
// What security.ini holds: the account table, the token of the programs that run on the
// machine, and the descriptor of every file and key that has one of its own. An object
// without a section takes what its parent passes down.
//
//   [Accounts]
//   S-1-5-32-544=BUILTIN,Administrators,Alias      ; SID = domain, name, use
//   [Token]
//   User=S-1-5-21-…-500
//   Owner=S-1-5-32-544                             ; owner of what the program creates
//   PrimaryGroup=S-1-5-21-…-513
//   Groups=S-1-1-0,S-1-5-32-544,…
//   Privileges=SeSecurityPrivilege,…               ; held, disabled at start
//   Enabled=SeChangeNotifyPrivilege                ; held and enabled at start
//   [File C:\WINNT\SYSTEM32]
//   SD=O:…D:…                                      ; SDDL, masks in hexadecimal
//   [Key HKEY_LOCAL_MACHINE\SOFTWARE]
//   SD=…
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/security.hpp"
#include "platform/security_descriptor.hpp"

namespace platform::sim {

struct SimAccount {
  Sid sid;
  std::string domain;
  std::string name;
  SidUse use = SidUse::User;
};

struct SimToken {
  Sid user;
  Sid owner;
  Sid primaryGroup;
  std::vector<Sid> groups;
  std::vector<std::string> privileges;  // held, disabled
  std::vector<std::string> enabled;     // held, enabled

  // The user and the groups: who the access checks look for.
  std::vector<Sid> Sids() const;
};

enum class ObjectKind { File, Key };

struct SecurityStore {
  std::vector<SimAccount> accounts;
  SimToken token;
  // Keyed by kind and the upper-case full path; the value keeps the path as spelled.
  struct Object {
    std::string path;
    SecurityDescriptor descriptor;
  };
  std::map<std::string, Object> objects;

  static std::string ObjectKey(ObjectKind kind, std::string_view path);
  const SecurityDescriptor* Find(ObjectKind kind, std::string_view path) const;
  void Set(ObjectKind kind, std::string_view path, const SecurityDescriptor& descriptor);
  // Drops the object and everything below it.
  void Drop(ObjectKind kind, std::string_view path);
  // Moves the object and everything below it to the new path.
  void Move(ObjectKind kind, std::string_view from, std::string_view to);
};

// Throws platform::Exception "<source>, line N: …" for anything malformed.
SecurityStore ParseSecurityIni(std::string_view text, std::string_view source);
std::string WriteSecurityIni(const SecurityStore& store);

}  // namespace platform::sim
