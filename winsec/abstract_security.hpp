#pragma once
// TNTAbstractSecurity: the owner, the access lists (allowed, denied) and the audit list of one
// securable object, read from the object whenever a list is asked for and written back at
// every change. Entries the program did not change are written back exactly as read (type,
// flags, mask, SID and place), entries of other types pass through, and nothing is dropped
// that was not deleted; a new entry goes after the object's own entries of its kind and
// before the inherited ones. The concrete components say how the object's descriptor is read
// and written and how masks translate.
#include <optional>
#include <string>

#include "platform/security_descriptor.hpp"
#include "winsec/access_list.hpp"
#include "winsec/account_names.hpp"
#include "winsec/nt_persistent.hpp"

namespace winsec {

class TNTAbstractSecurity : public TNTPersistent {
 public:
  TNTAbstractSecurity(forms::TComponent& owner, std::string name);

  // Each read re-reads the list from the object; items fetched before are gone.
  TAllowedList& AccessAllowed();
  TDeniedList& AccessDenied();
  // Needs the security privilege; a token that cannot enable it reads an empty list.
  TAuditList& SystemAudit();
  std::string Owner();
  void SetOwner(const std::string& userName);
  // True when the object has an access list (a null or missing one lets everyone in).
  bool ControlAccess();
  void SetControlAccess(bool control);

  // Fills a list from the object (the audit list only when the security privilege can be
  // enabled).
  void ReadList(TAccessList& list);
  // Called by the lists after a change.
  void WriteDacl(const TAccessList& changed);
  void WriteSacl(const TAuditList& changed);

 protected:
  // Reads the parts `information` names into Descriptor(); nothing when there is no object.
  virtual void ReadSecurity(std::uint32_t information) = 0;
  virtual void WriteSecurity(std::uint32_t information) = 0;
  virtual std::uint32_t DeniedMaskFromNative(std::uint32_t native) const = 0;
  virtual std::uint32_t AllowedMaskFromNative(std::uint32_t native) const = 0;
  virtual std::uint32_t AuditMaskFromNative(std::uint32_t native) const = 0;
  virtual std::uint32_t DeniedMaskToNative(std::uint32_t mask) const = 0;
  virtual std::uint32_t AllowedMaskToNative(std::uint32_t mask) const = 0;
  virtual std::uint32_t AuditMaskToNative(std::uint32_t mask) const = 0;

  std::optional<platform::SecurityDescriptor>& Descriptor() { return descriptor_; }
  // Drops the lists read for the previous object (a new file or key was chosen).
  void ForgetLists();

 private:
  void FillList(TAccessList& list, std::uint32_t information);
  std::uint32_t FromNative(const TAccessList& list, std::uint32_t native) const;
  std::uint32_t ToNative(const TAccessList& list, std::uint32_t mask) const;
  platform::Ace EntryOf(const TAccessList& list, const TAccessItem& item,
                        AccountNames& names) const;
  platform::Acl MergedAcl(const TAccessList& list, const platform::Acl& current,
                          AccountNames& names) const;
  AccountNames Names();

  TAllowedList allowed_{*this};
  TDeniedList denied_{*this};
  TAuditList audit_{*this};
  std::optional<platform::SecurityDescriptor> descriptor_;
};

}  // namespace winsec
