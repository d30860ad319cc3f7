#include "platform/security_descriptor.hpp"

#include "platform/byte_order.hpp"
#include "platform/exception.hpp"

namespace platform {
namespace {

constexpr std::size_t kAclHeaderSize = 8;
constexpr std::size_t kAceHeaderSize = 4;
constexpr std::size_t kDescriptorHeaderSize = 20;
constexpr std::uint16_t kDaclControlBits =
    sd_control::DaclDefaulted | sd_control::DaclAutoInheritReq | sd_control::DaclAutoInherited |
    sd_control::DaclProtected;
constexpr std::uint16_t kSaclControlBits =
    sd_control::SaclDefaulted | sd_control::SaclAutoInheritReq | sd_control::SaclAutoInherited |
    sd_control::SaclProtected;

std::optional<Ace> ReadAce(std::span<const std::uint8_t> bytes, std::size_t& size) {
  if (bytes.size() < kAceHeaderSize) return std::nullopt;
  size = static_cast<std::size_t>(ReadLittleEndian(bytes.data() + 2, 2));
  if (size < kAceHeaderSize || size > bytes.size() || size % 4 != 0) return std::nullopt;
  Ace ace;
  ace.type = bytes[0];
  ace.flags = bytes[1];
  const auto body = bytes.subspan(kAceHeaderSize, size - kAceHeaderSize);
  if (!Ace::HasMaskAndSid(ace.type)) {
    ace.body.assign(body.begin(), body.end());
    return ace;
  }
  if (body.size() < 4) return std::nullopt;
  ace.mask = static_cast<std::uint32_t>(ReadLittleEndian(body.data(), 4));
  auto sid = ReadSid(body.subspan(4));
  // An ACE keeps no bytes beyond its SID: anything else would be lost on the way back.
  if (!sid || sid->Length() + 4 != body.size()) return std::nullopt;
  ace.sid = std::move(*sid);
  return ace;
}

void AppendAce(std::vector<std::uint8_t>& out, const Ace& ace) {
  const std::size_t size = ace.Size();
  if (size > 0xFFFF) throw Exception("An access control entry cannot be larger than 65535 bytes");
  const std::size_t start = out.size();
  out.resize(start + kAceHeaderSize);
  out[start] = ace.type;
  out[start + 1] = ace.flags;
  WriteLittleEndian(out.data() + start + 2, size, 2);
  if (!Ace::HasMaskAndSid(ace.type)) {
    out.insert(out.end(), ace.body.begin(), ace.body.end());
    return;
  }
  out.resize(out.size() + 4);
  WriteLittleEndian(out.data() + start + kAceHeaderSize, ace.mask, 4);
  const auto sid = ace.sid.Bytes();
  out.insert(out.end(), sid.begin(), sid.end());
}

// The offset where a part is written (0 when it is not), appending its bytes.
std::uint32_t AppendPart(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& part) {
  if (part.empty()) return 0;
  const auto offset = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), part.begin(), part.end());
  return offset;
}

std::vector<std::uint8_t> AclPart(AclState state, const Acl& acl) {
  return state == AclState::Present ? WriteAcl(acl) : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> SidPart(const std::optional<Sid>& sid) {
  return sid ? sid->Bytes() : std::vector<std::uint8_t>{};
}

bool ReadAclPart(std::span<const std::uint8_t> bytes, std::uint32_t offset, bool present,
                 AclState& state, Acl& acl) {
  if (!present) {
    state = AclState::Missing;
    return true;
  }
  if (offset == 0) {
    state = AclState::Null;
    return true;
  }
  if (offset >= bytes.size()) return false;
  auto read = ReadAcl(bytes.subspan(offset));
  if (!read) return false;
  state = AclState::Present;
  acl = std::move(*read);
  return true;
}

bool ReadSidPart(std::span<const std::uint8_t> bytes, std::uint32_t offset,
                 std::optional<Sid>& sid) {
  if (offset == 0) return true;
  if (offset >= bytes.size()) return false;
  sid = ReadSid(bytes.subspan(offset));
  return sid.has_value();
}

}  // namespace

std::size_t Ace::Size() const {
  return kAceHeaderSize + (HasMaskAndSid(type) ? 4 + sid.Length() : body.size());
}

std::size_t Acl::Size() const {
  std::size_t size = kAclHeaderSize;
  for (const auto& ace : aces)
    size += ace.Size();
  return size;
}

std::vector<std::uint8_t> WriteAcl(const Acl& acl) {
  const std::size_t size = acl.Size();
  if (size > kMaxAclSize)
    throw Exception("An access control list cannot be larger than 65535 bytes (this one needs " +
                    std::to_string(size) + ")");
  std::vector<std::uint8_t> out(kAclHeaderSize);
  out[0] = acl.revision;
  WriteLittleEndian(out.data() + 2, size, 2);
  WriteLittleEndian(out.data() + 4, acl.aces.size(), 2);
  for (const auto& ace : acl.aces)
    AppendAce(out, ace);
  return out;
}

std::optional<Acl> ReadAcl(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kAclHeaderSize) return std::nullopt;
  Acl acl;
  acl.revision = bytes[0];
  const auto size = static_cast<std::size_t>(ReadLittleEndian(bytes.data() + 2, 2));
  const auto count = static_cast<std::size_t>(ReadLittleEndian(bytes.data() + 4, 2));
  if ((acl.revision != 2 && acl.revision != 4) || size < kAclHeaderSize || size > bytes.size())
    return std::nullopt;
  std::size_t at = kAclHeaderSize;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t aceSize = 0;
    auto ace = ReadAce(bytes.subspan(at, size - at), aceSize);
    if (!ace) return std::nullopt;
    acl.aces.push_back(std::move(*ace));
    at += aceSize;
  }
  // Slack after the last ACE is not kept; the ACL reads back as its entries.
  return acl;
}

std::vector<std::uint8_t> WriteSelfRelative(const SecurityDescriptor& descriptor) {
  std::uint16_t control =
      descriptor.control & (kDaclControlBits | kSaclControlBits | sd_control::OwnerDefaulted |
                            sd_control::GroupDefaulted);
  control |= sd_control::SelfRelative;
  if (descriptor.daclState != AclState::Missing) control |= sd_control::DaclPresent;
  if (descriptor.saclState != AclState::Missing) control |= sd_control::SaclPresent;
  std::vector<std::uint8_t> out(kDescriptorHeaderSize);
  out[0] = descriptor.revision;
  WriteLittleEndian(out.data() + 2, control, 2);
  const std::uint32_t sacl = AppendPart(out, AclPart(descriptor.saclState, descriptor.sacl));
  const std::uint32_t dacl = AppendPart(out, AclPart(descriptor.daclState, descriptor.dacl));
  const std::uint32_t owner = AppendPart(out, SidPart(descriptor.owner));
  const std::uint32_t group = AppendPart(out, SidPart(descriptor.group));
  WriteLittleEndian(out.data() + 4, owner, 4);
  WriteLittleEndian(out.data() + 8, group, 4);
  WriteLittleEndian(out.data() + 12, sacl, 4);
  WriteLittleEndian(out.data() + 16, dacl, 4);
  return out;
}

std::optional<SecurityDescriptor> ReadSelfRelative(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kDescriptorHeaderSize || bytes[0] != 1) return std::nullopt;
  const auto control = static_cast<std::uint16_t>(ReadLittleEndian(bytes.data() + 2, 2));
  if (!(control & sd_control::SelfRelative)) return std::nullopt;
  const auto offset = [&](std::size_t at) {
    return static_cast<std::uint32_t>(ReadLittleEndian(bytes.data() + at, 4));
  };
  SecurityDescriptor descriptor;
  descriptor.revision = bytes[0];
  descriptor.control = control & (kDaclControlBits | kSaclControlBits | sd_control::OwnerDefaulted |
                                  sd_control::GroupDefaulted);
  const bool valid = ReadSidPart(bytes, offset(4), descriptor.owner) &&
                     ReadSidPart(bytes, offset(8), descriptor.group) &&
                     ReadAclPart(bytes, offset(12), control & sd_control::SaclPresent,
                                 descriptor.saclState, descriptor.sacl) &&
                     ReadAclPart(bytes, offset(16), control & sd_control::DaclPresent,
                                 descriptor.daclState, descriptor.dacl);
  if (!valid) return std::nullopt;
  return descriptor;
}

SecurityDescriptor SelectParts(const SecurityDescriptor& descriptor, std::uint32_t information) {
  SecurityDescriptor selected;
  selected.revision = descriptor.revision;
  ReplaceParts(selected, descriptor, information);
  return selected;
}

void ReplaceParts(SecurityDescriptor& target, const SecurityDescriptor& source,
                  std::uint32_t information) {
  const auto takeControl = [&](std::uint16_t bits) {
    target.control = static_cast<std::uint16_t>((target.control & ~bits) | (source.control & bits));
  };
  if (information & security_info::Owner) {
    target.owner = source.owner;
    takeControl(sd_control::OwnerDefaulted);
  }
  if (information & security_info::Group) {
    target.group = source.group;
    takeControl(sd_control::GroupDefaulted);
  }
  if (information & security_info::Dacl) {
    target.daclState = source.daclState;
    target.dacl = source.dacl;
    takeControl(kDaclControlBits);
  }
  if (information & security_info::Sacl) {
    target.saclState = source.saclState;
    target.sacl = source.sacl;
    takeControl(kSaclControlBits);
  }
}

}  // namespace platform
