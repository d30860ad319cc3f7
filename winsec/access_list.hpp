#pragma once
// The entries of one access list of a security component: TAccessItem (account name, mask in
// the component's notation, inheritance flags) in a TAccessList that writes the object's
// list back at every change. An item remembers the entry it was read from, so that an entry
// nobody changed is written back exactly as it was read.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/security_descriptor.hpp"

namespace winsec {

class TNTAbstractSecurity;
class TAccessList;

// TAceFlags: a set of TAceFlag elements as bits.
using TAceFlags = std::uint8_t;
namespace ace_flags {
inline constexpr TAceFlags acfObjInherit = 0x01;
inline constexpr TAceFlags acfContainer = 0x02;
inline constexpr TAceFlags acfInheritOnly = 0x04;
inline constexpr TAceFlags acfNoPropogate = 0x08;
inline constexpr TAceFlags acfSuccAudit = 0x10;
inline constexpr TAceFlags acfFailAudit = 0x20;
}  // namespace ace_flags

// ACE header flags to the set and back; the inherited mark has no element.
TAceFlags AceFlagsFromNative(std::uint8_t flags);
std::uint8_t AceFlagsToNative(TAceFlags flags);

class TAccessItem {
 public:
  TAccessItem(TAccessList& list, std::string userName, std::uint32_t mask, TAceFlags flags,
              std::optional<platform::Ace> original);

  const std::string& UserName() const { return userName_; }
  std::uint32_t Mask() const { return mask_; }
  TAceFlags Flags() const { return flags_; }
  // Setters write the list at once; a value equal to the current one does nothing; when the
  // write fails the old value comes back and the error goes on.
  void SetUserName(const std::string& userName);
  void SetMask(std::uint32_t mask);
  void SetFlags(TAceFlags flags);

  // The entry this item was read from (none for an added item) and whether the item still
  // holds what was read.
  const std::optional<platform::Ace>& Original() const { return original_; }
  bool AsRead() const;
  std::string NamePath() const;

 private:
  template <typename T>
  void Set(T& field, const T& value);

  TAccessList& list_;
  std::string userName_;
  std::uint32_t mask_;
  TAceFlags flags_;
  std::optional<platform::Ace> original_;
  std::string readUserName_;
  std::uint32_t readMask_;
  TAceFlags readFlags_;
};

class TAccessList {
 public:
  virtual ~TAccessList() = default;
  TAccessList(const TAccessList&) = delete;
  TAccessList& operator=(const TAccessList&) = delete;

  std::size_t Count() const { return items_.size(); }
  TAccessItem& Item(std::size_t index);
  const TAccessItem& Item(std::size_t index) const;
  TAccessItem& operator[](std::size_t index) { return Item(index); }
  void Add(const std::string& userName, std::uint32_t mask, TAceFlags flags);
  void Delete(std::size_t index);
  void Clear();
  // Writes the object's list, unless the list is being filled from the object.
  virtual void Changed() = 0;
  virtual std::string NamePath() const = 0;
  // The ACE type this list holds.
  virtual std::uint8_t AceType() const = 0;

  bool Loading() const { return loading_; }
  TNTAbstractSecurity& Security() const { return owner_; }

  // Filling from the object (the component does this): nothing is written meanwhile.
  void BeginLoading();
  void AddRead(std::string userName, std::uint32_t mask, TAceFlags flags, platform::Ace original);
  void EndLoading() {
    loading_ = false;
    read_ = true;
  }
  // Empties the list without writing anything: its items belong to an object no longer chosen.
  // The next change reads the new object's list first, so that no entry of it is lost.
  void Forget() {
    items_.clear();
    read_ = false;
  }

 protected:
  explicit TAccessList(TNTAbstractSecurity& owner) : owner_(owner) {}

 private:
  TNTAbstractSecurity& owner_;
  void ReadIfForgotten();

  std::vector<std::unique_ptr<TAccessItem>> items_;
  bool loading_ = false;
  bool read_ = false;
};

class TAllowedList final : public TAccessList {
 public:
  explicit TAllowedList(TNTAbstractSecurity& owner) : TAccessList(owner) {}
  void Changed() override;
  std::string NamePath() const override;
  std::uint8_t AceType() const override { return platform::ace_type::AccessAllowed; }
};

class TDeniedList final : public TAccessList {
 public:
  explicit TDeniedList(TNTAbstractSecurity& owner) : TAccessList(owner) {}
  void Changed() override;
  std::string NamePath() const override;
  std::uint8_t AceType() const override { return platform::ace_type::AccessDenied; }
};

class TAuditList final : public TAccessList {
 public:
  explicit TAuditList(TNTAbstractSecurity& owner) : TAccessList(owner) {}
  void Changed() override;
  std::string NamePath() const override;
  std::uint8_t AceType() const override { return platform::ace_type::SystemAudit; }
};

}  // namespace winsec
