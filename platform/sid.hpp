#pragma once
// Security identifiers in the binary layout Windows uses (revision byte, sub-authority count,
// six-byte identifier authority stored big-endian, then 32-bit sub-authorities stored
// little-endian) and their "S-1-5-32-544" text form.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Sid {
  static constexpr std::size_t kMaxSubAuthorities = 15;  // SID_MAX_SUB_AUTHORITIES

  std::uint8_t revision = 1;
  std::uint64_t authority = 0;  // 48 bits
  std::vector<std::uint32_t> subAuthorities;

  std::size_t Length() const { return 8 + 4 * subAuthorities.size(); }  // GetLengthSid
  std::vector<std::uint8_t> Bytes() const;
  // ConvertSidToStringSid: the authority in decimal below 2^32, else "0x" and 12 hex digits.
  std::string Text() const;
  friend bool operator==(const Sid&, const Sid&) = default;
};

// A SID read from the start of the bytes (IsValidSid: revision 1, at most 15 sub-authorities,
// all bytes there); nothing when they do not hold one.
std::optional<Sid> ReadSid(std::span<const std::uint8_t> bytes);
// A strict "S-1-…" text: decimal fields only (an authority from 2^32 up in the "0x" form
// Text() writes), the authority below 2^48, each sub-authority
// below 2^32, at most `maxSubAuthorities` of them. Nothing for any other text.
std::optional<Sid> ParseSidText(std::string_view text,
                                std::size_t maxSubAuthorities = Sid::kMaxSubAuthorities);
// AllocateAndInitializeSid with a one-byte authority (the well-known ones are all below 256).
Sid MakeSid(std::uint64_t authority, std::initializer_list<std::uint32_t> subAuthorities);

namespace well_known_sid {
Sid Everyone();            // S-1-1-0
Sid CreatorOwner();        // S-1-3-0
Sid Network();             // S-1-5-2
Sid Interactive();         // S-1-5-4
Sid AuthenticatedUsers();  // S-1-5-11
Sid LocalSystem();         // S-1-5-18
Sid Administrators();      // S-1-5-32-544
Sid Users();               // S-1-5-32-545
Sid PowerUsers();          // S-1-5-32-547
}  // namespace well_known_sid

}  // namespace platform
