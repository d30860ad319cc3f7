#pragma once
// The stored string of one sort key: the key's bytes in a form whose unsigned byte order is
// the key order, followed by the record number, most significant byte first. Because the
// record number is part of it, equal keys order by record number, and a type tag tells how to
// turn the bytes back into the key.
//
// Numbers take all 8 bytes of their sortable form and dates their 4 bytes. Text and raw bytes
// vary in length, so they end in a 0 byte, with the bytes 0 and 1 written as 1 1 and 1 2.
// Without the end mark the record number would be compared with the rest of a longer key that
// begins with a shorter one: the index's numeric key BF F0 (1.0) of record 5 would follow
// BF F0 00 00 00 00 00 01 (the next double above 1.0), and -99952, shortened by its five
// trailing 0xFF bytes to 3F 07 98, would come before -99965 (3F 07 98 2F ...).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/index/key_variant.hpp"

namespace tables {

inline constexpr int kMaxSortKeyLength = 240;
inline constexpr std::size_t kSortRecordBytes = 4;
// A key of 240 zero bytes, its end mark and the record number.
inline constexpr std::size_t kMaxSortStringLength = 2 * kMaxSortKeyLength + 1 + kSortRecordBytes;

// Type tags of stored strings: how to turn the bytes back into a key.
namespace sort_tag {
inline constexpr std::uint8_t Raw = 16;
inline constexpr std::uint8_t Text = 32;
inline constexpr std::uint8_t Number = 48;
inline constexpr std::uint8_t Date = 64;
}  // namespace sort_tag

struct TxbSortString {
  std::uint8_t tag = 0;
  std::size_t length = 0;
  std::uint8_t bytes[kMaxSortStringLength];
};

// Fills `out` for (key, record). Raises "Variant type cannot be sorted" for a logical or empty
// variant and "Sort key length greater than 240 bytes" for a key longer than maxKeyLength
// (text counted without its trailing blanks, which are not part of the key).
void EncodeSortString(const TxbVariant& key, std::int32_t recordNumber, int maxKeyLength,
                      TxbSortString& out);

// The most bytes the stored string of raw key bytes of this length takes.
constexpr std::size_t MaxRawSortStringLength(std::size_t keyLength) {
  return 2 * keyLength + 1 + kSortRecordBytes;
}

// The stored string of raw key bytes and a record number, written to out (room for
// MaxRawSortStringLength bytes); returns its length. The caller checks the key's length.
std::size_t EncodeRawSortString(std::string_view key, std::int32_t recordNumber, std::uint8_t* out);

// The key bytes and record number of a stored string of a text or raw key, into key.
void DecodeSortBytes(const std::uint8_t* bytes, std::size_t length, std::string& key,
                     std::int32_t& recordNumber);

// The key (with the type it was added with) and record number of a stored string.
void DecodeSortString(std::uint8_t tag, const std::uint8_t* bytes, std::size_t length,
                      TxbVariant& key, std::int32_t& recordNumber);

}  // namespace tables
