#include "platform/access_rules.hpp"

#include <algorithm>

namespace platform {
namespace {

constexpr std::uint8_t kInheritanceFlags = ace_flag::ObjectInherit | ace_flag::ContainerInherit |
                                           ace_flag::NoPropagateInherit | ace_flag::InheritOnly;

bool Holds(const std::vector<Sid>& sids, const Sid& sid) {
  return std::find(sids.begin(), sids.end(), sid) != sids.end();
}

// The entry a child receives from one parent entry, or nothing when it does not pass down.
std::optional<Ace> PassedDown(const Ace& ace, bool container, bool markInherited) {
  const bool objectInherit = ace.flags & ace_flag::ObjectInherit;
  const bool containerInherit = ace.flags & ace_flag::ContainerInherit;
  const bool noPropagate = ace.flags & ace_flag::NoPropagateInherit;
  Ace child = ace;
  child.flags &= static_cast<std::uint8_t>(~(kInheritanceFlags | ace_flag::Inherited));
  if (markInherited) child.flags |= ace_flag::Inherited;
  if (!container) {
    if (!objectInherit) return std::nullopt;
    return child;
  }
  if (containerInherit) {
    if (!noPropagate)
      child.flags |= static_cast<std::uint8_t>(
          ace.flags & (ace_flag::ObjectInherit | ace_flag::ContainerInherit));
    return child;
  }
  // Object inherit alone on a container: kept inherit-only for the files below it.
  if (objectInherit && !noPropagate) {
    child.flags |= ace_flag::ObjectInherit | ace_flag::InheritOnly;
    return child;
  }
  return std::nullopt;
}

std::vector<Ace> InheritedEntries(const Acl& acl, bool container, bool markInherited) {
  std::vector<Ace> entries;
  for (const auto& ace : acl.aces)
    if (auto child = PassedDown(ace, container, markInherited))
      entries.push_back(std::move(*child));
  return entries;
}

}  // namespace

std::uint32_t GenericMapping::Map(std::uint32_t mask) const {
  std::uint32_t mapped = mask & ~(access_right::GenericAll | access_right::GenericExecute |
                                  access_right::GenericWrite | access_right::GenericRead);
  if (mask & access_right::GenericRead) mapped |= read;
  if (mask & access_right::GenericWrite) mapped |= write;
  if (mask & access_right::GenericExecute) mapped |= execute;
  if (mask & access_right::GenericAll) mapped |= all;
  return mapped;
}

bool AccessGranted(const SecurityDescriptor& descriptor, const std::vector<Sid>& tokenSids,
                   std::uint32_t desired, const GenericMapping& mapping) {
  if (descriptor.daclState != AclState::Present) return true;
  std::uint32_t wanted = mapping.Map(desired) & ~access_right::AccessSystemSecurity;
  if (descriptor.owner && Holds(tokenSids, *descriptor.owner))
    wanted &= ~(access_right::ReadControl | access_right::WriteDac);
  for (const auto& ace : descriptor.dacl.aces) {
    if (wanted == 0) break;
    if ((ace.flags & ace_flag::InheritOnly) || !Holds(tokenSids, ace.sid)) continue;
    const std::uint32_t rights = mapping.Map(ace.mask);
    if (ace.type == ace_type::AccessDenied && (rights & wanted)) return false;
    if (ace.type == ace_type::AccessAllowed) wanted &= ~rights;
  }
  return wanted == 0;
}

SecurityDescriptor InheritedDescriptor(const SecurityDescriptor& parent, bool container,
                                       bool markInherited, const NewObjectOwner& creator) {
  SecurityDescriptor child;
  child.owner = creator.owner;
  child.group = creator.group;
  if (parent.daclState == AclState::Present) {
    child.daclState = AclState::Present;
    child.dacl.aces = InheritedEntries(parent.dacl, container, markInherited);
  } else {
    // Nothing to inherit from: the object is as open as its parent.
    child.daclState = AclState::Null;
  }
  if (parent.saclState == AclState::Present) {
    auto entries = InheritedEntries(parent.sacl, container, markInherited);
    if (!entries.empty()) {
      child.saclState = AclState::Present;
      child.sacl.aces = std::move(entries);
    }
  }
  if (markInherited) child.control |= sd_control::DaclAutoInherited;
  return child;
}

}  // namespace platform
