#include "platform/access_rules.hpp"

#include <algorithm>

namespace platform {
namespace {

constexpr std::uint8_t kInheritanceFlags = ace_flag::ObjectInherit | ace_flag::ContainerInherit |
                                           ace_flag::NoPropagateInherit | ace_flag::InheritOnly;

bool Holds(const std::vector<Sid>& sids, const Sid& sid) {
  return std::find(sids.begin(), sids.end(), sid) != sids.end();
}

// The entries a child receives from one parent entry: none when it does not pass down. An
// entry for CREATOR OWNER takes effect as an entry for the new object's owner, and generic
// rights take effect mapped to the object's own; on a container an entry that also passes
// further down stays as it was, inherit-only, beside the one that takes effect.
std::vector<Ace> PassedDown(const Ace& ace, bool container, bool markInherited, const Sid& owner,
                            const GenericMapping& mapping) {
  const bool objectInherit = ace.flags & ace_flag::ObjectInherit;
  const bool containerInherit = ace.flags & ace_flag::ContainerInherit;
  const bool noPropagate = ace.flags & ace_flag::NoPropagateInherit;
  const bool appliesHere = container ? containerInherit : objectInherit;
  const bool passesFurther = container && !noPropagate && (objectInherit || containerInherit);
  if (!appliesHere && !passesFurther) return {};

  Ace base = ace;
  base.flags &= static_cast<std::uint8_t>(~(kInheritanceFlags | ace_flag::Inherited));
  if (markInherited) base.flags |= ace_flag::Inherited;
  const bool creatorOwner =
      Ace::HasMaskAndSid(ace.type) && ace.sid == well_known_sid::CreatorOwner();
  const bool generic = Ace::HasMaskAndSid(ace.type) && mapping.Map(ace.mask) != ace.mask;

  Ace effective = base;
  if (creatorOwner) effective.sid = owner;
  if (Ace::HasMaskAndSid(ace.type)) effective.mask = mapping.Map(ace.mask);
  Ace further = base;
  further.flags |=
      static_cast<std::uint8_t>(ace.flags & (ace_flag::ObjectInherit | ace_flag::ContainerInherit));

  std::vector<Ace> entries;
  if (!passesFurther) {
    entries.push_back(effective);
  } else if (!appliesHere) {
    further.flags |= ace_flag::InheritOnly;
    entries.push_back(further);
  } else if (creatorOwner || generic) {
    entries.push_back(effective);
    further.flags |= ace_flag::InheritOnly;
    entries.push_back(further);
  } else {
    entries.push_back(further);
  }
  return entries;
}

std::vector<Ace> InheritedEntries(const Acl& acl, bool container, bool markInherited,
                                  const Sid& owner, const GenericMapping& mapping) {
  std::vector<Ace> entries;
  for (const auto& ace : acl.aces)
    for (auto& child : PassedDown(ace, container, markInherited, owner, mapping))
      entries.push_back(std::move(child));
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
                                       bool markInherited, const NewObjectOwner& creator,
                                       const GenericMapping& mapping) {
  SecurityDescriptor child;
  child.owner = creator.owner;
  child.group = creator.group;
  if (parent.daclState == AclState::Present) {
    child.daclState = AclState::Present;
    child.dacl.aces =
        InheritedEntries(parent.dacl, container, markInherited, creator.owner, mapping);
  } else {
    // Nothing to inherit from: the object is as open as its parent.
    child.daclState = AclState::Null;
  }
  if (parent.saclState == AclState::Present) {
    auto entries = InheritedEntries(parent.sacl, container, markInherited, creator.owner, mapping);
    if (!entries.empty()) {
      child.saclState = AclState::Present;
      child.sacl.aces = std::move(entries);
    }
  }
  if (markInherited) child.control |= sd_control::DaclAutoInherited;
  return child;
}

}  // namespace platform
