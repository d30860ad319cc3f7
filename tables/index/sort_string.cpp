#include "tables/index/sort_string.hpp"

#include <bit>
#include <cstring>
#include <string_view>

#include "platform/byte_order.hpp"
#include "tables/index/sort_errors.hpp"

namespace tables {
namespace {

constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
constexpr int kRecordBytes = static_cast<int>(kSortRecordBytes);
constexpr std::uint8_t kEndMark = 0;
constexpr std::uint8_t kEscape = 1;

std::string_view WithoutTrailingBlanks(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ')
    --end;
  return text.substr(0, end);
}

// Sign clear: the bits with the sign set; sign set: every bit inverted. Unsigned order of the
// 8 bytes, most significant first, is numeric order (-0 just below 0).
void EncodeNumber(double value, std::uint8_t* out) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  bits = (bits & kSignBit) ? ~bits : (bits | kSignBit);
  platform::WriteBigEndian(out, bits, 8);
}

double DecodeNumber(const std::uint8_t* bytes) {
  std::uint64_t bits = platform::ReadBigEndian(bytes, 8);
  return std::bit_cast<double>((bits & kSignBit) ? (bits & ~kSignBit) : ~bits);
}

// Whether any of the eight bytes of word is 0 or 1 (needs an escape).
bool HasEscapedByte(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  return ((word - 2 * kOnes) & ~word & kHighBits) != 0;
}

std::size_t EncodeVarying(std::string_view key, std::uint8_t* out) {
  // Bytes that need no escape (nearly all) are copied eight at a time.
  std::size_t length = 0;
  for (std::uint64_t word = 0; length + sizeof word <= key.size(); length += sizeof word) {
    std::memcpy(&word, key.data() + length, sizeof word);
    if (HasEscapedByte(word)) break;
    std::memcpy(out + length, &word, sizeof word);
  }
  for (char c : key.substr(length)) {
    auto byte = static_cast<std::uint8_t>(c);
    if (byte <= kEscape) {
      out[length++] = kEscape;
      out[length++] = static_cast<std::uint8_t>(byte + 1);
    } else {
      out[length++] = byte;
    }
  }
  out[length++] = kEndMark;
  return length;
}

// Whether any of the eight bytes of word is the escape byte.
bool HasEscape(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  const std::uint64_t escapesZero = word ^ (kOnes * kEscape);
  return ((escapesZero - kOnes) & ~escapesZero & kHighBits) != 0;
}

// Whether the count bytes hold an escape: words at a time, as keys are short.
bool HoldsEscape(const std::uint8_t* bytes, std::size_t count) {
  std::size_t at = 0;
  for (; at + sizeof(std::uint64_t) <= count; at += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, bytes + at, sizeof word);
    if (HasEscape(word)) return true;
  }
  for (; at < count; ++at) {
    if (bytes[at] == kEscape) return true;
  }
  return false;
}

// The key bytes of an encoded key of `length` bytes (end mark included).
std::string_view DecodeVarying(const std::uint8_t* bytes, std::size_t length,
                               std::uint8_t* scratch) {
  std::size_t encoded = length - 1;
  if (!HoldsEscape(bytes, encoded)) {
    return std::string_view(reinterpret_cast<const char*>(bytes), encoded);
  }
  std::size_t decoded = 0;
  for (std::size_t at = 0; at < encoded; ++at) {
    scratch[decoded++] =
        bytes[at] == kEscape ? static_cast<std::uint8_t>(bytes[++at] - 1) : bytes[at];
  }
  return std::string_view(reinterpret_cast<const char*>(scratch), decoded);
}

void CheckLength(std::size_t length, int maxKeyLength) {
  if (length > static_cast<std::size_t>(maxKeyLength)) RaiseSortKeyTooLong();
}

std::size_t EncodeKey(const TxbVariant& key, int maxKeyLength, TxbSortString& out) {
  switch (key.type()) {
    case TxbVariant::Text: {
      std::string_view text = WithoutTrailingBlanks(key.bytes());
      CheckLength(text.size(), maxKeyLength);
      out.tag = sort_tag::Text;
      return EncodeVarying(text, out.bytes);
    }
    case TxbVariant::Raw:
      CheckLength(key.length(), maxKeyLength);
      out.tag = sort_tag::Raw;
      return EncodeVarying(key.bytes(), out.bytes);
    case TxbVariant::Number:
      CheckLength(key.length(), maxKeyLength);
      out.tag = sort_tag::Number;
      EncodeNumber(key.AsNumber(), out.bytes);
      return 8;
    case TxbVariant::Date:
      CheckLength(key.length(), maxKeyLength);
      out.tag = sort_tag::Date;
      platform::WriteBigEndian(out.bytes, static_cast<std::uint32_t>(key.AsDate()), 4);
      return 4;
    default:
      RaiseSortTypeUnsortable();
  }
}

}  // namespace

void EncodeSortString(const TxbVariant& key, std::int32_t recordNumber, int maxKeyLength,
                      TxbSortString& out) {
  std::size_t keyLength = EncodeKey(key, maxKeyLength, out);
  platform::WriteBigEndian(out.bytes + keyLength, static_cast<std::uint32_t>(recordNumber),
                           kRecordBytes);
  out.length = keyLength + kSortRecordBytes;
}

std::size_t EncodeRawSortString(std::string_view key, std::int32_t recordNumber,
                                std::uint8_t* out) {
  const std::size_t keyLength = EncodeVarying(key, out);
  platform::WriteBigEndian(out + keyLength, static_cast<std::uint32_t>(recordNumber), kRecordBytes);
  return keyLength + kSortRecordBytes;
}

void DecodeSortBytes(const std::uint8_t* bytes, std::size_t length, std::string& key,
                     std::int32_t& recordNumber) {
  std::size_t keyLength = length - kSortRecordBytes;
  recordNumber = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(platform::ReadBigEndian(bytes + keyLength, kRecordBytes)));
  std::uint8_t scratch[kMaxSortKeyLength];
  key.assign(DecodeVarying(bytes, keyLength, scratch));
}

void DecodeSortString(std::uint8_t tag, const std::uint8_t* bytes, std::size_t length,
                      TxbVariant& key, std::int32_t& recordNumber) {
  std::size_t keyLength = length - kSortRecordBytes;
  recordNumber = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(platform::ReadBigEndian(bytes + keyLength, kRecordBytes)));
  std::uint8_t scratch[kMaxSortKeyLength];
  switch (tag) {
    case sort_tag::Number:
      key.SetNumber(DecodeNumber(bytes));
      break;
    case sort_tag::Date:
      key.SetDate(
          static_cast<std::int32_t>(static_cast<std::uint32_t>(platform::ReadBigEndian(bytes, 4))));
      break;
    case sort_tag::Text:
      key.SetText(DecodeVarying(bytes, keyLength, scratch));
      break;
    default:
      key.SetRaw(DecodeVarying(bytes, keyLength, scratch));
      break;
  }
}

}  // namespace tables
