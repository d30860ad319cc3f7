#include "platform/sid.hpp"

#include <charconv>

#include "platform/byte_order.hpp"

namespace platform {
namespace {

constexpr std::uint64_t kAuthorityLimit = std::uint64_t{1} << 48;

// A decimal field of a SID text: digits only, below the limit.
std::optional<std::uint64_t> DecimalField(std::string_view field, std::uint64_t limit) {
  if (field.empty() || field.size() > 15) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || value >= limit)
    return std::nullopt;
  return value;
}

// The authority: decimal, or "0x" and twelve hexadecimal digits as Windows writes it from 2^32.
std::optional<std::uint64_t> AuthorityField(std::string_view field) {
  if (field.size() != 14 || field.substr(0, 2) != "0x") return DecimalField(field, kAuthorityLimit);
  std::uint64_t value = 0;
  const auto [end, error] =
      std::from_chars(field.data() + 2, field.data() + field.size(), value, 16);
  if (error != std::errc() || end != field.data() + field.size() ||
      value < (std::uint64_t{1} << 32))
    return std::nullopt;
  return value;
}

}  // namespace

std::vector<std::uint8_t> Sid::Bytes() const {
  std::vector<std::uint8_t> bytes(Length());
  bytes[0] = revision;
  bytes[1] = static_cast<std::uint8_t>(subAuthorities.size());
  WriteBigEndian(bytes.data() + 2, authority, 6);
  for (std::size_t i = 0; i < subAuthorities.size(); ++i)
    WriteLittleEndian(bytes.data() + 8 + 4 * i, subAuthorities[i], 4);
  return bytes;
}

std::string Sid::Text() const {
  std::string text = "S-" + std::to_string(revision) + "-";
  if (authority < (std::uint64_t{1} << 32)) {
    text += std::to_string(authority);
  } else {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += "0x";
    for (int shift = 44; shift >= 0; shift -= 4)
      text += kDigits[(authority >> shift) & 0xF];
  }
  for (std::uint32_t part : subAuthorities)
    text += "-" + std::to_string(part);
  return text;
}

std::optional<Sid> ReadSid(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8 || bytes[0] != 1 || bytes[1] > Sid::kMaxSubAuthorities) return std::nullopt;
  const std::size_t count = bytes[1];
  if (bytes.size() < 8 + 4 * count) return std::nullopt;
  Sid sid;
  sid.revision = bytes[0];
  sid.authority = ReadBigEndian(bytes.data() + 2, 6);
  for (std::size_t i = 0; i < count; ++i)
    sid.subAuthorities.push_back(
        static_cast<std::uint32_t>(ReadLittleEndian(bytes.data() + 8 + 4 * i, 4)));
  return sid;
}

std::optional<Sid> ParseSidText(std::string_view text, std::size_t maxSubAuthorities) {
  if (text.size() < 2 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') return std::nullopt;
  std::vector<std::string_view> fields;
  text.remove_prefix(2);
  while (true) {
    const auto dash = text.find('-');
    fields.push_back(text.substr(0, dash));
    if (dash == std::string_view::npos) break;
    text.remove_prefix(dash + 1);
  }
  if (fields.size() < 2 || fields.size() - 2 > maxSubAuthorities) return std::nullopt;
  const auto revision = DecimalField(fields[0], 2);
  const auto authority = AuthorityField(fields[1]);
  if (revision != 1u || !authority) return std::nullopt;
  Sid sid;
  sid.authority = *authority;
  for (std::size_t i = 2; i < fields.size(); ++i) {
    const auto part = DecimalField(fields[i], std::uint64_t{1} << 32);
    if (!part) return std::nullopt;
    sid.subAuthorities.push_back(static_cast<std::uint32_t>(*part));
  }
  return sid;
}

Sid MakeSid(std::uint64_t authority, std::initializer_list<std::uint32_t> subAuthorities) {
  Sid sid;
  sid.authority = authority;
  sid.subAuthorities = subAuthorities;
  return sid;
}

namespace well_known_sid {
Sid Everyone() {
  return MakeSid(1, {0});
}
Sid CreatorOwner() {
  return MakeSid(3, {0});
}
Sid Network() {
  return MakeSid(5, {2});
}
Sid Interactive() {
  return MakeSid(5, {4});
}
Sid AuthenticatedUsers() {
  return MakeSid(5, {11});
}
Sid LocalSystem() {
  return MakeSid(5, {18});
}
Sid Administrators() {
  return MakeSid(5, {32, 544});
}
Sid Users() {
  return MakeSid(5, {32, 545});
}
Sid PowerUsers() {
  return MakeSid(5, {32, 547});
}
}  // namespace well_known_sid

}  // namespace platform
