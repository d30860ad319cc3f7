#include "winsec/abstract_security.hpp"

#include <algorithm>

#include "platform/machine.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/privileges.hpp"

namespace winsec {
namespace {

namespace info = platform::security_info;
using platform::Ace;
using platform::Acl;
using platform::AclState;

constexpr std::string_view kSecurityPrivilege = "SeSecurityPrivilege";
constexpr std::string_view kTakeOwnershipPrivilege = "SeTakeOwnershipPrivilege";

// Where a new entry of the list goes: after the object's own entries of that kind, before
// the inherited ones (new denied entries lead the list, as Windows orders them).
std::size_t NewEntryPlace(const std::vector<Ace>& aces, std::uint8_t type) {
  if (type == platform::ace_type::AccessDenied) return 0;
  const auto inherited = std::find_if(aces.begin(), aces.end(), [](const Ace& ace) {
    return ace.flags & platform::ace_flag::Inherited;
  });
  return static_cast<std::size_t>(inherited - aces.begin());
}

}  // namespace

TNTAbstractSecurity::TNTAbstractSecurity(forms::TComponent& owner, std::string name)
    : TNTPersistent(owner, std::move(name)) {}

AccountNames TNTAbstractSecurity::Names() {
  return AccountNames(platform::CurrentMachine().security(), MachineName());
}

void TNTAbstractSecurity::ForgetLists() {
  allowed_.Forget();
  denied_.Forget();
  audit_.Forget();
  descriptor_.reset();
}

std::uint32_t TNTAbstractSecurity::FromNative(const TAccessList& list, std::uint32_t native) const {
  switch (list.AceType()) {
    case platform::ace_type::AccessAllowed:
      return AllowedMaskFromNative(native);
    case platform::ace_type::AccessDenied:
      return DeniedMaskFromNative(native);
    default:
      return AuditMaskFromNative(native);
  }
}

std::uint32_t TNTAbstractSecurity::ToNative(const TAccessList& list, std::uint32_t mask) const {
  switch (list.AceType()) {
    case platform::ace_type::AccessAllowed:
      return AllowedMaskToNative(mask);
    case platform::ace_type::AccessDenied:
      return DeniedMaskToNative(mask);
    default:
      return AuditMaskToNative(mask);
  }
}

void TNTAbstractSecurity::FillList(TAccessList& list, std::uint32_t information) {
  list.BeginLoading();
  try {
    ReadSecurity(information);
    const bool dacl = information == info::Dacl;
    if (descriptor_ &&
        (dacl ? descriptor_->daclState : descriptor_->saclState) == AclState::Present) {
      AccountNames names = Names();
      for (const Ace& ace : (dacl ? descriptor_->dacl : descriptor_->sacl).aces)
        if (ace.type == list.AceType())
          list.AddRead(names.DisplayName(ace.sid), FromNative(list, ace.mask),
                       AceFlagsFromNative(ace.flags), ace);
    }
  } catch (...) {
    // A list read only in part must not stand for the object's list in a later write.
    list.EndLoading();
    list.Forget();
    throw;
  }
  list.EndLoading();
}

void TNTAbstractSecurity::ReadList(TAccessList& list) {
  if (&list == &audit_)
    SystemAudit();
  else
    FillList(list, info::Dacl);
}

TAllowedList& TNTAbstractSecurity::AccessAllowed() {
  FillList(allowed_, info::Dacl);
  return allowed_;
}

TDeniedList& TNTAbstractSecurity::AccessDenied() {
  FillList(denied_, info::Dacl);
  return denied_;
}

TAuditList& TNTAbstractSecurity::SystemAudit() {
  platform::Security& security = platform::CurrentMachine().security();
  if (!PrivilegeEnabled(security, kSecurityPrivilege) &&
      !EnablePrivilege(security, kSecurityPrivilege)) {
    audit_.BeginLoading();
    audit_.EndLoading();
    return audit_;
  }
  FillList(audit_, info::Sacl);
  return audit_;
}

Ace TNTAbstractSecurity::EntryOf(const TAccessList& list, const TAccessItem& item,
                                 AccountNames& names) const {
  if (item.AsRead()) return *item.Original();
  Ace ace;
  ace.type = list.AceType();
  const bool sameName =
      item.Original() && names.DisplayName(item.Original()->sid) == item.UserName();
  if (sameName) {
    ace.sid = item.Original()->sid;
  } else {
    auto sid = names.SidOf(item.UserName());
    if (!sid) throw ENTException::System(platform::win_error::NoneMapped);
    ace.sid = std::move(*sid);
  }
  // A mask left as read keeps every right it had, even those the notation cannot show.
  const bool sameMask = item.Original() && FromNative(list, item.Original()->mask) == item.Mask();
  ace.mask = sameMask ? item.Original()->mask : ToNative(list, item.Mask());
  if (list.AceType() == platform::ace_type::SystemAudit)
    ace.flags =
        AceFlagsToNative(item.Flags() & (ace_flags::acfSuccAudit | ace_flags::acfFailAudit));
  else
    ace.flags = AceFlagsToNative(item.Flags());
  return ace;
}

Acl TNTAbstractSecurity::MergedAcl(const TAccessList& list, const Acl& current,
                                   AccountNames& names) const {
  std::vector<bool> placed(list.Count(), false);
  Acl merged;
  merged.revision = current.revision;
  for (const Ace& ace : current.aces) {
    if (ace.type != list.AceType()) {
      merged.aces.push_back(ace);
      continue;
    }
    // The object's entry stays where it is, as the item read from it now says; an entry no
    // item was read from is one the program deleted.
    for (std::size_t i = 0; i < list.Count(); ++i)
      if (!placed[i] && list.Item(i).Original() == ace) {
        placed[i] = true;
        merged.aces.push_back(EntryOf(list, list.Item(i), names));
        break;
      }
  }
  std::vector<Ace> added;
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (!placed[i]) added.push_back(EntryOf(list, list.Item(i), names));
  const auto at = static_cast<std::ptrdiff_t>(NewEntryPlace(merged.aces, list.AceType()));
  merged.aces.insert(merged.aces.begin() + at, added.begin(), added.end());
  return merged;
}

void TNTAbstractSecurity::WriteDacl(const TAccessList& changed) {
  ReadSecurity(info::Dacl);
  if (!descriptor_) return;
  // The other list follows the object, not earlier unsaved edits.
  if (&changed == &allowed_)
    FillList(denied_, info::Dacl);
  else
    FillList(allowed_, info::Dacl);
  const Acl current = descriptor_->daclState == AclState::Present ? descriptor_->dacl : Acl{};
  AccountNames names = Names();
  descriptor_->dacl = MergedAcl(changed, current, names);
  descriptor_->daclState = AclState::Present;
  platform::WriteAcl(
      descriptor_->dacl);  // refuses an ACL over 65535 bytes before anything is written
  WriteSecurity(info::Dacl);
}

void TNTAbstractSecurity::WriteSacl(const TAuditList& changed) {
  ReadSecurity(info::Sacl);
  if (!descriptor_) return;
  const Acl current = descriptor_->saclState == AclState::Present ? descriptor_->sacl : Acl{};
  AccountNames names = Names();
  descriptor_->sacl = MergedAcl(changed, current, names);
  descriptor_->saclState = AclState::Present;
  platform::WriteAcl(descriptor_->sacl);
  WriteSecurity(info::Sacl);
}

std::string TNTAbstractSecurity::Owner() {
  ReadSecurity(info::Owner);
  if (!descriptor_ || !descriptor_->owner) return {};
  AccountNames names = Names();
  return names.DisplayName(*descriptor_->owner);
}

void TNTAbstractSecurity::SetOwner(const std::string& userName) {
  platform::Security& security = platform::CurrentMachine().security();
  if (!PrivilegeEnabled(security, kTakeOwnershipPrivilege))
    EnablePrivilege(security, kTakeOwnershipPrivilege);
  AccountNames names = Names();
  auto sid = names.SidOf(userName);
  if (!sid) throw ENTException::System(platform::win_error::NoneMapped);
  platform::SecurityDescriptor descriptor;
  descriptor.owner = std::move(*sid);
  descriptor.control = platform::sd_control::OwnerDefaulted;
  descriptor_ = std::move(descriptor);
  WriteSecurity(info::Owner);
}

bool TNTAbstractSecurity::ControlAccess() {
  ReadSecurity(info::Dacl);
  return descriptor_ && descriptor_->daclState == AclState::Present;
}

void TNTAbstractSecurity::SetControlAccess(bool control) {
  if (control == ControlAccess() || !descriptor_) return;
  descriptor_->daclState = control ? AclState::Present : AclState::Null;
  descriptor_->dacl = Acl{};
  WriteSecurity(info::Dacl);
}

}  // namespace winsec
