#include "winsec/access_list.hpp"

#include <array>
#include <utility>

#include "platform/exception.hpp"
#include "winsec/abstract_security.hpp"

namespace winsec {
namespace {

namespace native = platform::ace_flag;

constexpr std::array<std::pair<TAceFlags, std::uint8_t>, 6> kFlagMap = {{
    {ace_flags::acfObjInherit, native::ObjectInherit},
    {ace_flags::acfContainer, native::ContainerInherit},
    {ace_flags::acfInheritOnly, native::InheritOnly},
    {ace_flags::acfNoPropogate, native::NoPropagateInherit},
    {ace_flags::acfSuccAudit, native::SuccessfulAccess},
    {ace_flags::acfFailAudit, native::FailedAccess},
}};

}  // namespace

TAceFlags AceFlagsFromNative(std::uint8_t flags) {
  TAceFlags set = 0;
  for (const auto& [element, bit] : kFlagMap)
    if (flags & bit) set |= element;
  return set;
}

std::uint8_t AceFlagsToNative(TAceFlags flags) {
  std::uint8_t bits = 0;
  for (const auto& [element, bit] : kFlagMap)
    if (flags & element) bits |= bit;
  return bits;
}

TAccessItem::TAccessItem(TAccessList& list, std::string userName, std::uint32_t mask,
                         TAceFlags flags, std::optional<platform::Ace> original)
    : list_(list),
      userName_(std::move(userName)),
      mask_(mask),
      flags_(flags),
      original_(std::move(original)),
      readUserName_(userName_),
      readMask_(mask),
      readFlags_(flags) {}

bool TAccessItem::AsRead() const {
  return original_ && userName_ == readUserName_ && mask_ == readMask_ && flags_ == readFlags_;
}

template <typename T>
void TAccessItem::Set(T& field, const T& value) {
  if (field == value) return;
  T old = std::move(field);
  field = value;
  try {
    list_.Changed();
  } catch (...) {
    field = std::move(old);
    throw;
  }
}

void TAccessItem::SetUserName(const std::string& userName) {
  Set(userName_, userName);
}

void TAccessItem::SetMask(std::uint32_t mask) {
  Set(mask_, mask);
}

void TAccessItem::SetFlags(TAceFlags flags) {
  Set(flags_, flags);
}

std::string TAccessItem::NamePath() const {
  for (std::size_t i = 0; i < list_.Count(); ++i)
    if (&list_.Item(i) == this) return list_.NamePath() + "[" + std::to_string(i) + "]";
  return list_.NamePath();
}

TAccessItem& TAccessList::Item(std::size_t index) {
  return const_cast<TAccessItem&>(std::as_const(*this).Item(index));
}

const TAccessItem& TAccessList::Item(std::size_t index) const {
  if (index >= items_.size())
    throw platform::ERangeError("List index out of bounds (" + std::to_string(index) + ")");
  return *items_[index];
}

void TAccessList::ReadIfForgotten() {
  if (!read_ && !loading_) Security().ReadList(*this);
}

void TAccessList::Add(const std::string& userName, std::uint32_t mask, TAceFlags flags) {
  ReadIfForgotten();
  items_.push_back(std::make_unique<TAccessItem>(*this, userName, mask, flags, std::nullopt));
  if (loading_) return;
  try {
    Changed();
  } catch (...) {
    items_.pop_back();
    throw;
  }
}

void TAccessList::AddRead(std::string userName, std::uint32_t mask, TAceFlags flags,
                          platform::Ace original) {
  items_.push_back(
      std::make_unique<TAccessItem>(*this, std::move(userName), mask, flags, std::move(original)));
}

void TAccessList::Delete(std::size_t index) {
  Item(index);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  if (!loading_) Changed();
}

void TAccessList::Clear() {
  ReadIfForgotten();
  items_.clear();
  if (!loading_) Changed();
}

void TAccessList::BeginLoading() {
  loading_ = true;
  items_.clear();
}

void TAllowedList::Changed() {
  if (!Loading()) Security().WriteDacl(*this);
}

std::string TAllowedList::NamePath() const {
  return Security().Name() + ".AccessAllowed";
}

void TDeniedList::Changed() {
  if (!Loading()) Security().WriteDacl(*this);
}

std::string TDeniedList::NamePath() const {
  return Security().Name() + ".AccessDenied";
}

void TAuditList::Changed() {
  if (!Loading()) Security().WriteSacl(*this);
}

std::string TAuditList::NamePath() const {
  return Security().Name() + ".SystemAudit";
}

}  // namespace winsec
